#include "app/command_line_tail.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(CommandLineTail, FindsTheFirstByteAfterTheProgramName) {
    struct Case { const char* commandLine; const char* tail; };
    const Case cases[] = {
        {"\"C:\\Program Files\\Zyklomatrix.exe\"  -x", "-x"},
        {"\"C:\\Zyk.exe\"-x", "-x"},
        {"Zyk.exe\t\t", ""},
        {"Zyk.exe a b", "a b"},
        {"Zyk.exe \x01\x1f\x20 arg", "arg"},
        {"\"C:\\Zyk.exe  arg", ""},
        {"\"\" arg", "arg"},
        {"Zyk\x80\xff.exe arg", "arg"},
        {"Zyk\xa0name", ""},
        {"", ""},
        {"   leading", "leading"},
        {"Zyk.exe", ""},
    };
    for (const Case& c : cases) {
        const char* tail = CommandLineTail(c.commandLine);
        EXPECT_EQ(std::string(c.tail), tail) << "command line [" << c.commandLine << "]";
        // The tail points into the given text, never into a copy.
        EXPECT_GE(tail, c.commandLine);
        EXPECT_LE(tail, c.commandLine + std::string(c.commandLine).size());
    }
}

TEST(CommandLineTail, ShowCommandComesFromTheStartupRecordOnlyWhenFlagged) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.wShowWindow = SW_SHOWMINNOACTIVE;
    EXPECT_EQ(SW_SHOWDEFAULT, StartupShowCommand(startup)) << "flag clear";

    startup.dwFlags = STARTF_USESHOWWINDOW;
    EXPECT_EQ(SW_SHOWMINNOACTIVE, StartupShowCommand(startup)) << "flag set";

    startup.dwFlags = STARTF_USESTDHANDLES;
    EXPECT_EQ(SW_SHOWDEFAULT, StartupShowCommand(startup)) << "other flags only";

    startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    EXPECT_EQ(SW_HIDE, StartupShowCommand(startup)) << "flag among others, hidden";
}

}  // namespace
