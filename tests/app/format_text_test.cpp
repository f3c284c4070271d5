#include <gtest/gtest.h>

#include <string.h>

#include "app/format_text.h"

// A text that fits comes back whole with its length; one that fills the buffer exactly or
// overflows it is cut, always ends in a zero, and reports the room, so that callers see it did
// not fit; the byte after the room is never written.
TEST(FormatTextTest, FitsOrIsCutWithItsZero)
{
    char text[8];
    memset(text, 'x', sizeof text);
    EXPECT_EQ(4, FormatText(text, 6, "%d", 1234));
    EXPECT_STREQ("1234", text);

    memset(text, 'x', sizeof text);
    EXPECT_EQ(6, FormatText(text, 6, "%s", "abcdef"));
    EXPECT_STREQ("abcde", text);
    EXPECT_EQ('x', text[6]);

    memset(text, 'x', sizeof text);
    EXPECT_EQ(6, FormatText(text, 6, "%.1f MHz", 2400.25));
    EXPECT_STREQ("2400.", text);
    EXPECT_EQ('x', text[6]);

    EXPECT_EQ(0, FormatText(text, 0, "%s", "abc"));
    EXPECT_EQ('2', text[0]);
}
