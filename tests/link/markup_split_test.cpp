#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "link/markup_split.h"

namespace {

// A part as its text, "-" when absent.
std::string partText(const char* text, const TextPart& part)
{
    if (!part.present())
        return part.length == 0 ? "-" : "absent with a length";
    return std::string(text + part.start, part.length);
}

}  // namespace

TEST(SplitMarkup, FindsTheTextBeforeTheSpanAndAfter)
{
    struct Case {
        const char* text;
        const char* before;
        const char* link;
        const char* after;
    } cases[] = {
        {"Visit <a>our page</a> today", "Visit ", "our page", " today"},
        {"Visit <A>our page</a> today", "Visit ", "our page", " today"},
        {"<A>page</A>", "-", "page", "-"},
        {"go <A>page</A>", "go ", "page", "-"},
        {"<a>page</a> now", "-", "page", " now"},
        {"no tags here", "-", "-", "-"},
        {"", "-", "-", "-"},
        {"open <a>but never closed", "open ", "", "-"},
        {"one <a>two <a>three</a> four", "one ", "two <a>three", " four"},
        {"<a></a>", "-", "", "-"},
        {"a < b <a>c</a>", "a < b ", "c", "-"},
        {"cut <a>off </", "cut ", "", "-"},
        {"cut <a>off </A", "cut ", "", "-"},
        {"cut <", "-", "-", "-"},
        {"cut <A", "-", "-", "-"},
        {"close first </a> <a>x</a>", "close first </a> ", "x", "-"},
    };
    for (const Case& c : cases) {
        const MarkupSplit split = splitMarkup(c.text, static_cast<int>(strlen(c.text)));
        EXPECT_EQ(c.before, partText(c.text, split.before)) << "text '" << c.text << "'";
        EXPECT_EQ(c.link, partText(c.text, split.link)) << "text '" << c.text << "'";
        EXPECT_EQ(c.after, partText(c.text, split.after)) << "text '" << c.text << "'";
    }
}

TEST(SplitMarkup, ComparesNoTagBeyondTheGivenLength)
{
    // The closing tag lies past the length, so the span stays open.
    const char* text = "x <a>y</a>";
    const MarkupSplit split = splitMarkup(text, 8);
    EXPECT_EQ(5, split.link.start);
    EXPECT_EQ(0, split.link.length);
    EXPECT_FALSE(split.after.present());
}
