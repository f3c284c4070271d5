#include "link/markup_split.h"

#include <windows.h>

namespace {

// Whether the text at 'at' holds 'tag', ignoring case. Only called when all
// of the tag's characters lie within the text.
bool tagAt(const char* at, const char* tag, int tagLength)
{
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, at, tagLength, tag, tagLength)
           == CSTR_EQUAL;
}

}  // namespace

MarkupSplit splitMarkup(const char* text, int length)
{
    MarkupSplit split;
    bool inSpan = false;
    for (int i = 0; i < length; ++i) {
        if (text[i] != '<')
            continue;
        if (!inSpan) {
            if (i + 3 <= length && tagAt(text + i, "<A>", 3)) {
                if (i > 0)
                    split.before = TextPart{0, i};
                split.link = TextPart{i + 3, 0};
                inSpan = true;
                i += 2;
            }
        } else if (i + 4 <= length && tagAt(text + i, "</A>", 4)) {
            split.link.length = i - split.link.start;
            if (i + 4 < length)
                split.after = TextPart{i + 4, length - (i + 4)};
            break;
        }
    }
    return split;
}
