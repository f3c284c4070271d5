// The main dialog on screens of 96 (100 %), 120, 144 and 192 DPI (200 %), each time in a
// process started after Wine was set to that DPI: every text fits its control, no control
// overlaps another, and the dialog lies inside the work area, before any test and after
// tests on 1, 4, 5 and 16 processors (tests/ui/dpi_check_main.cpp looks). And the program itself
// declares its process aware of the system's DPI.
#include <gtest/gtest.h>
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <fstream>
#include <string>
#include <vector>

#include "program_driver.h"
#include "support/wine_settings.h"

#if !defined(ZYK_DPI_CHECK_PATH) || !defined(ZYK_PROGRAM_PATH)
#error "ZYK_DPI_CHECK_PATH names the program that looks at the dialog, ZYK_PROGRAM_PATH the program"
#endif

namespace {

const DWORD StartTimeoutMs = 20000;
const DWORD CheckTimeoutMs = 120000;
const DWORD ExitTimeoutMs = 10000;

// The program built beside this test, or the one ZYK_PROGRAM names (the release build of the
// same sources).
std::string ProgramPath() {
    const char* named = getenv("ZYK_PROGRAM");
    return named != nullptr && named[0] != '\0' ? named : ZYK_PROGRAM_PATH;
}

bool startsWith(const std::string& text, const char* prefix) {
    return text.compare(0, strlen(prefix), prefix) == 0;
}

// A new empty file for the report, in the temporary folder.
std::string reportPath() {
    char folder[MAX_PATH];
    char path[MAX_PATH];
    if (GetTempPathA(sizeof folder, folder) == 0 || GetTempFileNameA(folder, "zyk", 0, path) == 0)
        return std::string();
    return path;
}

std::vector<std::string> linesOf(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream file(path.c_str());
    std::string line;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// The platform's number for awareness of the system's DPI.
const int SystemAware = 1;

// The DPI awareness of a window of this process or another; -1 where the system cannot tell
// (before Windows 10, and Wine 8 for a window of another process unless it is aware of each
// screen's DPI).
int windowAwareness(HWND window) {
    typedef HANDLE(WINAPI * WindowContext)(HWND);
    typedef int(WINAPI * AwarenessOf)(HANDLE);
    HMODULE user = GetModuleHandleA("user32.dll");
    WindowContext context = reinterpret_cast<WindowContext>(
        reinterpret_cast<void*>(GetProcAddress(user, "GetWindowDpiAwarenessContext")));
    AwarenessOf awareness = reinterpret_cast<AwarenessOf>(
        reinterpret_cast<void*>(GetProcAddress(user, "GetAwarenessFromDpiAwarenessContext")));
    return context != nullptr && awareness != nullptr ? awareness(context(window)) : -1;
}

TEST(DpiTest, AtEachDpiEveryTextFitsItsControlAndNothingOverlaps) {
    if (!runningUnderWine())
        GTEST_SKIP() << "sets the screen's DPI the way Wine reads it";
    for (DWORD dpi : {96u, 120u, 144u, 192u}) {
        SCOPED_TRACE(std::to_string(dpi) + " DPI");
        const std::string report = reportPath();
        ASSERT_FALSE(report.empty());
        ProgramDriver checker(ZYK_DPI_CHECK_PATH, "\"" + report + "\" 1 4 5 16");
        {
            WineScreenDpi screen(dpi);
            ASSERT_TRUE(screen.written());
            ASSERT_TRUE(checker.start());
            // Once its dialog shows, the process has read the DPI.
            ASSERT_NE(nullptr, checker.waitForDialog(StartTimeoutMs)) << "no dialog appeared";
        }
        DWORD status = 0;
        const bool ended = checker.waitForExit(CheckTimeoutMs, status);
        const std::vector<std::string> lines = linesOf(report);
        DeleteFileA(report.c_str());
        ASSERT_TRUE(ended) << "the check did not end";
        ASSERT_FALSE(lines.empty()) << "no report";
        EXPECT_EQ("dpi: " + std::to_string(dpi) + " awareness: " + std::to_string(SystemAware), lines[0])
            << "the dialog at that DPI, in a process aware of the system's DPI";
        std::string state;
        int states = 0;
        for (const std::string& line : lines) {
            if (startsWith(line, "state: ")) {
                state = line.substr(7);
                ++states;
            } else if (startsWith(line, "fault: ") || startsWith(line, "error: ")) {
                ADD_FAILURE() << state << ": " << line;
            }
        }
        EXPECT_EQ(7, states) << "before any test, after tests on 1, 4, 5 and 16 processors, and with two kinds "
                                "of cores and emulated";
        EXPECT_EQ(0u, status);
    }
}

TEST(DpiTest, TheProgramDeclaresItselfAwareOfTheSystemsDpi) {
    if (!runningUnderWine())
        GTEST_SKIP() << "sets the screen's DPI the way Wine reads it";
    ProgramDriver program(ProgramPath());
    {
        WineScreenDpi screen(144);
        ASSERT_TRUE(screen.written());
        ASSERT_TRUE(program.start()) << "cannot start " << ProgramPath();
        ASSERT_NE(nullptr, program.waitForDialog(StartTimeoutMs)) << "no dialog appeared";
    }
    const int awareness = windowAwareness(program.dialog());
    program.sendCommand(2);
    DWORD status = 0;
    ASSERT_TRUE(program.waitForExit(ExitTimeoutMs, status));
    EXPECT_EQ(2u, status);
    if (awareness < 0)
        GTEST_SKIP() << "this system cannot tell the DPI awareness of another process's window";
    EXPECT_EQ(SystemAware, awareness);
}

}  // namespace
