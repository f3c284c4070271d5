#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>

#include "link/browser_colours.h"
#include "link_test_support.h"

namespace {

// A settings key that lets itself be read but not changed.
struct FakeSettings {
    bool keyExists = true;
    std::map<std::string, std::string> values;  // stored bytes, terminator included or not
    int opens = 0;
    int closes = 0;
} settings;

HKEY const FakeKey = reinterpret_cast<HKEY>(0x5A5A);

LSTATUS WINAPI fakeOpen(HKEY root, LPCSTR path, DWORD, REGSAM access, PHKEY key)
{
    if (root != HKEY_CURRENT_USER || strcmp(path, "Software\\Microsoft\\Internet Explorer\\Settings"))
        return ERROR_FILE_NOT_FOUND;
    if (!settings.keyExists)
        return ERROR_FILE_NOT_FOUND;
    if (access & ~KEY_READ)
        return ERROR_ACCESS_DENIED;
    ++settings.opens;
    *key = FakeKey;
    return ERROR_SUCCESS;
}

LSTATUS WINAPI fakeQuery(HKEY key, LPCSTR name, LPDWORD, LPDWORD type, LPBYTE data, LPDWORD size)
{
    auto found = settings.values.find(name);
    if (key != FakeKey || found == settings.values.end())
        return ERROR_FILE_NOT_FOUND;
    const std::string& bytes = found->second;
    *type = REG_SZ;
    if (bytes.size() > *size) {
        *size = static_cast<DWORD>(bytes.size());
        return ERROR_MORE_DATA;
    }
    memcpy(data, bytes.data(), bytes.size());
    *size = static_cast<DWORD>(bytes.size());
    return ERROR_SUCCESS;
}

LSTATUS WINAPI fakeClose(HKEY key)
{
    if (key == FakeKey)
        ++settings.closes;
    return ERROR_SUCCESS;
}

class BrowserColours : public ::testing::Test {
protected:
    BrowserColours()
    {
        settings = FakeSettings();
        linkPlatform().RegOpenKeyExA = fakeOpen;
        linkPlatform().RegQueryValueExA = fakeQuery;
        linkPlatform().RegCloseKey = fakeClose;
    }
    LinkPlatformGuard guard;  // restored after the fakes' owner is gone
    COLORREF link = RGB(0, 0, 255);
    COLORREF visited = RGB(128, 0, 128);
};

// A value as the registry holds a string: its text and terminator.
std::string text(const char* value)
{
    return std::string(value, strlen(value) + 1);
}

}  // namespace

TEST_F(BrowserColours, ReadsAKeyThatMayOnlyBeReadAndClosesIt)
{
    settings.values["Anchor Color"] = text("0,128,0");
    settings.values["Anchor Color Visited"] = text("255,255,255");
    readBrowserColours(link, visited);
    EXPECT_EQ(RGB(0, 128, 0), link);
    EXPECT_EQ(RGB(255, 255, 255), visited);
    EXPECT_EQ(1, settings.opens);
    EXPECT_EQ(1, settings.closes);
}

TEST_F(BrowserColours, WithoutTheKeyBothDefaultsStay)
{
    settings.keyExists = false;
    readBrowserColours(link, visited);
    EXPECT_EQ(RGB(0, 0, 255), link);
    EXPECT_EQ(RGB(128, 0, 128), visited);
    EXPECT_EQ(0, settings.closes);
}

TEST_F(BrowserColours, EachValueIsJudgedOnItsOwn)
{
    struct Case {
        const char* link;  // null: value absent
        const char* visited;
        COLORREF expectedLink;
        COLORREF expectedVisited;
    } cases[] = {
        {nullptr, "1,2,3", RGB(0, 0, 255), RGB(1, 2, 3)},
        {"1,2,3", nullptr, RGB(1, 2, 3), RGB(128, 0, 128)},
        {"255, 255, 255", "4,5,6", RGB(0, 0, 255), RGB(4, 5, 6)},  // 14 bytes: too long
        {"1,2", "a,b,c", RGB(0, 0, 255), RGB(0, 0, 0)},
        {"7,8,9", "-1,0,0", RGB(7, 8, 9), RGB(128, 0, 128)},
    };
    for (const Case& c : cases) {
        settings.values.clear();
        if (c.link)
            settings.values["Anchor Color"] = text(c.link);
        if (c.visited)
            settings.values["Anchor Color Visited"] = text(c.visited);
        COLORREF readLink = RGB(0, 0, 255), readVisited = RGB(128, 0, 128);
        readBrowserColours(readLink, readVisited);
        EXPECT_EQ(c.expectedLink, readLink) << "values '" << (c.link ? c.link : "(absent)") << "'";
        EXPECT_EQ(c.expectedVisited, readVisited)
            << "values '" << (c.visited ? c.visited : "(absent)") << "'";
    }
}

TEST_F(BrowserColours, AValueWithoutTerminatorIsReadOnItsOwn)
{
    // The first value leaves digits behind in the buffer; the second,
    // stored without its terminator, must not run on into them.
    settings.values["Anchor Color"] = text("1,2,345678");
    settings.values["Anchor Color Visited"] = std::string("7,8,9");
    readBrowserColours(link, visited);
    EXPECT_EQ(RGB(1, 2, 345678 & 0xFF), link);
    EXPECT_EQ(RGB(7, 8, 9), visited);

    // All twelve bytes taken, no terminator: the number ends with the value.
    settings.values["Anchor Color"] = std::string("1,2,34567890");
    readBrowserColours(link, visited);
    EXPECT_EQ(RGB(1, 2, 34567890 & 0xFF), link);
}
