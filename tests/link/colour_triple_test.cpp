#include <gtest/gtest.h>

#include <string>

#include "link/colour_triple.h"

TEST(ParseColourTriple, ReadsRedGreenBlueAndRejectsWhatIsNotATriple)
{
    const COLORREF none = static_cast<COLORREF>(-1);
    struct Case {
        const char* text;
        COLORREF expected;
    } cases[] = {
        {"0,0,255", 0x00FF0000},
        {"128,0,128", 0x00800080},
        {"255,255,255", 0x00FFFFFF},
        {"1,2", none},
        {"1,2,", none},
        {"", none},
        {",,", none},
        {"-1,5,5", none},
        {"5,-1,5", none},
        {"5,5,-1", 0x00FF0505},
        {"300,0,0", 0x0000002C},
        {"0,0,256", 0x00000000},
        {"a,b,c", 0x00000000},
        {" 10, 20, 30", 0x001E140A},
        {"10,20,30 trailing", 0x001E140A},
        {"1,2,3,4", 0x00030201},
        {"-2,0,0", 0x000000FE},
        // Bytes above 0x7F (a multi-byte character in some code pages) in
        // front of a number: no digits, so 0.
        {"\x82\xA0" "1,2,3", 0x00030200},
        {"1,2,3\x82", 0x00030201},
    };
    for (const Case& c : cases) {
        std::string text = c.text;
        EXPECT_EQ(c.expected, parseColourTriple(&text[0])) << "text '" << c.text << "'";
    }
}

TEST(ParseColourTriple, CutsTheTextAtBothCommas)
{
    char text[] = "10,20,30";
    parseColourTriple(text);
    EXPECT_STREQ("10", text);
    EXPECT_STREQ("20", text + 3);
    EXPECT_STREQ("30", text + 6);
}
