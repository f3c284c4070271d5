#pragma once

// One part of a text: 'start' is -1 when the part is absent (its length is
// then 0).
struct TextPart {
    int start = -1;
    int length = 0;
    bool present() const { return start >= 0; }
};

// The three parts of a marked-up caption: the text before "<A>", the link span
// and the text after "</A>".
struct MarkupSplit {
    TextPart before;
    TextPart link;
    TextPart after;
};

// Splits 'text' (length 'length') at the first "<A>" and the first "</A>"
// after it; the tags match in any case. Without "<A>" all three parts are
// absent; without "</A>" the link span is empty and there is no after part.
MarkupSplit splitMarkup(const char* text, int length);
