// Starts the built Zyklomatrix.exe and uses it from outside, as a person at
// the screen would: looks at the dialog, runs tests, opens the About box
// and ends the program in each of the ways it offers.
#include <gtest/gtest.h>
#include <windows.h>

#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "measure/result_table.h"
#include "program_driver.h"
#include "support/bounded_wait.h"
#include "ui/site_address.h"

#if !defined(ZYK_PROGRAM_PATH) || !defined(ZYK_PROGRAM_486_PATH)
#error "ZYK_PROGRAM_PATH names the program under test, ZYK_PROGRAM_486_PATH its build as on a 486"
#endif

namespace {

// The program built beside this test, or the one ZYK_PROGRAM names (the
// release build of the same sources).
std::string ProgramPath() {
    const char* named = getenv("ZYK_PROGRAM");
    return named != nullptr && named[0] != '\0' ? named : ZYK_PROGRAM_PATH;
}

const DWORD StartTimeoutMs = 20000;
const DWORD ExitTimeoutMs = 10000;
const DWORD ProgramExitStatus = 2;

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        forgetRememberedSettings();
        if (runningUnderWine())
            setWineVersionFor("Zyklomatrix.exe", nullptr);  // left over from an aborted run
        ASSERT_TRUE(program.start()) << "cannot start " << ProgramPath();
        ASSERT_NE(nullptr, program.waitForDialog(StartTimeoutMs)) << "no dialog appeared";
    }
    void TearDown() override { forgetRememberedSettings(); }

    void expectEndsWithStatus2(const char* how) {
        DWORD status = 0;
        ASSERT_TRUE(program.waitForExit(ExitTimeoutMs, status)) << how << ": still running";
        EXPECT_EQ(ProgramExitStatus, status) << how;
    }

    ProgramDriver program{ProgramPath()};
};

TEST_F(ProgramTest, ShowsItsControlsWithDefaultsAndEndsWithEscape) {
    HWND dialog = program.dialog();
    EXPECT_EQ(0, GetWindowLongA(dialog, GWL_STYLE) & (WS_POPUP | WS_CHILD)) << "an overlapped window";

    struct Expected { int id; const char* className; const char* text; };
    NonGermanSystem = NonGermanFlagFor(GetSystemDefaultLangID());
    const std::string site = BuildSiteAddress();
    const Expected controls[] = {
        {1, "Button", "Test"},
        {2, "Button", "ESC"},
        {1000, "ComboBox", "50"},
        {1001, "ComboBox", "1"},
        {1002, "Static", ""},
        {1003, "Static", site.c_str()},
        {1004, "Static", "MHZ"},
    };
    for (const Expected& c : controls) {
        HWND control = program.control(c.id);
        ASSERT_NE(nullptr, control) << "control " << c.id;
        EXPECT_EQ(0, lstrcmpiA(c.className, className(control).c_str())) << "control " << c.id
            << " is a " << className(control);
        EXPECT_EQ(c.text, windowText(control)) << "control " << c.id;
        EXPECT_TRUE(IsWindowVisible(control)) << "control " << c.id;
    }
    EXPECT_TRUE(IsWindowEnabled(program.control(1))) << "Test is enabled";

    std::vector<std::string> windows;
    for (int v = 50; v <= 950; v += 50)
        windows.push_back(std::to_string(v));
    EXPECT_EQ(windows, listEntries(program.control(1000)));
    EXPECT_EQ((std::vector<std::string>{"1", "2", "3", "4"}), listEntries(program.control(1001)));

    program.pressKey(VK_ESCAPE);
    expectEndsWithStatus2("Escape key");
}

TEST_F(ProgramTest, TestShowsOneValuePerProcessorAndSavesNothing) {
    SYSTEM_INFO system = {};
    GetSystemInfo(&system);
    std::string result;
    ASSERT_TRUE(program.runTest(20000, result)) << "no result; field shows [" << result << "]";

    // One worker per processor the system reports, up to the table's last entry.
    const DWORD last = ResultTable::LastProcessor;
    const size_t processors = system.dwNumberOfProcessors < last ? system.dwNumberOfProcessors : last;
    ResultText parts = splitResult(result);
    ASSERT_EQ(processors, parts.values.size()) << "[" << result << "]";
    for (size_t i = 0; i < parts.values.size(); ++i) {
        EXPECT_TRUE(isDecimal(parts.values[i], 4)) << "value " << i + 1 << " [" << parts.values[i] << "]";
        EXPECT_GT(atof(parts.values[i].c_str()), 0.0) << "value " << i + 1;
    }
    for (size_t i = 0; i < parts.separators.size(); ++i)
        EXPECT_EQ((i + 1) % 4 == 0 ? "\r\n" : "\t", parts.separators[i]) << "after value " << i + 1;

    EXPECT_FALSE(rememberedSettingsExist()) << "nothing is saved on this path";

    // Enter starts a test too: the dialog manager issues command 1.
    program.settle();
    program.pressKey(VK_RETURN);
    EXPECT_TRUE(waitUntil([&] { return !IsWindowEnabled(program.control(1)); },
                          "Enter to start a test", 10000));

    PostMessageA(program.dialog(), WM_SYSCOMMAND, SC_CLOSE, 0);
    expectEndsWithStatus2("close box");
}

TEST_F(ProgramTest, AboutBoxIsCentredOnTheDialogAndClosesEveryWay) {
    HWND dialog = program.dialog();
    struct Way { const char* name; int kind; };
    const Way ways[] = {{"OK button", 0}, {"Enter", 1}, {"Escape", 2}, {"close box", 3}};
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        program.sendCommand(57664);
        HWND about = program.waitForWindow("About", 10000);
        ASSERT_NE(nullptr, about);
        EXPECT_EQ(dialog, GetWindow(about, GW_OWNER));
        EXPECT_FALSE(IsWindowEnabled(dialog)) << "the owner is disabled while it runs";
        EXPECT_EQ("OK", windowText(GetDlgItem(about, IDOK)));

        RECT a, d;
        GetWindowRect(about, &a);
        GetWindowRect(dialog, &d);
        EXPECT_NEAR((d.left + d.right) / 2, (a.left + a.right) / 2, 1) << "centred across";
        EXPECT_NEAR((d.top + d.bottom) / 2, (a.top + a.bottom) / 2, 1) << "centred down";

        switch (way.kind) {
        case 0: PostMessageA(GetDlgItem(about, IDOK), BM_CLICK, 0, 0); break;
        case 1: PostMessageA(GetDlgItem(about, IDOK), WM_KEYDOWN, VK_RETURN, 1); break;
        case 2: PostMessageA(GetDlgItem(about, IDOK), WM_KEYDOWN, VK_ESCAPE, 1); break;
        case 3: PostMessageA(about, WM_SYSCOMMAND, SC_CLOSE, 0); break;
        }
        EXPECT_TRUE(waitUntil([&] { return !IsWindow(about); }, "the About box to close", 10000));
        EXPECT_TRUE(IsWindowEnabled(dialog)) << "usable again";
    }
    program.click(2);
    expectEndsWithStatus2("ESC button");
}

TEST_F(ProgramTest, ResultArrivesBehindAnOpenAboutBox) {
    SendMessageA(program.control(1002), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
    program.settle();
    program.click(1);
    program.sendCommand(57664);
    HWND about = program.waitForWindow("About", 10000);
    ASSERT_NE(nullptr, about);
    EXPECT_TRUE(waitUntil([&] { return !windowText(program.control(1002)).empty(); },
                          "the display to run during the modal loop", 20000));
    EXPECT_TRUE(IsWindow(about)) << "the About box is still open";
    PostMessageA(about, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(about); }, "the About box to close", 10000));
    program.pressKey(VK_ESCAPE);
    expectEndsWithStatus2("Escape after the About box");
}

TEST_F(ProgramTest, EndingDuringALongTestLeavesNoCrash) {
    program.selectEntry(1000, 18);  // 950 ms
    program.selectEntry(1001, 3);   // 4 repetitions
    ASSERT_EQ("950", windowText(program.control(1000)));
    ASSERT_EQ("4", windowText(program.control(1001)));
    program.settle();
    program.click(1);
    ASSERT_TRUE(waitUntil([&] { return !IsWindowEnabled(program.control(1)); },
                          "the workers to start", 10000));
    program.pressKey(VK_ESCAPE);
    expectEndsWithStatus2("Escape while measuring");
}

// Under Wine the program can be made to see another Windows. On each system it is built for
// it opens, restores the remembered settings, measures by the method its platform selects
// and ends with "ESC". Outside the NT family that is the estimator on the dialog's thread,
// with interrupts masked around each read where the system allows it (Wine, like NT, refuses,
// and the program carries on unmasked), and a save of the settings.
// On a processor older than the Pentium there is no counter to read: the program built with a
// measuring platform that reports a 486 and faults on RDTSC (program_on_486.cpp) shows 0 for
// every value, by either method, and still its cores' clock.
struct ReportedWindows {
    const char* version;  // Wine's name for it
    bool ntFamily;
    bool on486 = false;

    const char* exeName() const { return on486 ? "zyk_program_486.exe" : "Zyklomatrix.exe"; }
    std::string path() const { return on486 ? std::string(ZYK_PROGRAM_486_PATH) : ProgramPath(); }
    std::string name() const { return std::string(version) + (on486 ? "_on_486" : ""); }
};

void PrintTo(const ReportedWindows& system, std::ostream* out) {
    *out << system.name();
}

#if defined(__x86_64__)
// The x64 Windows: XP x64 (5.2) and later. And Windows 98, which no x64 program meets: the
// path outside the NT family is the same code in both builds, and this keeps it run through
// the real program wherever only x64 programs can be run.
const ReportedWindows TargetSystems[] = {
    {"win98", false}, {"winxp64", true}, {"win7", true}, {"win10", true},
    {"win98", false, true}, {"winxp64", true, true},
};
#else
const ReportedWindows TargetSystems[] = {
    {"win95", false}, {"win98", false}, {"winme", false}, {"nt40", true},
    {"win2k", true},  {"winxp", true},  {"win7", true},   {"win10", true},
    {"win95", false, true}, {"nt40", true, true},
};
#endif

class ProgramOnReportedWindowsTest : public ::testing::TestWithParam<ReportedWindows> {
protected:
    void SetUp() override {
        if (!runningUnderWine())
            GTEST_SKIP() << "needs Wine's per-program Windows version";
        ASSERT_TRUE(setWineVersionFor(GetParam().exeName(), GetParam().version));
        forgetRememberedSettings();
    }
    void TearDown() override {
        setWineVersionFor(GetParam().exeName(), nullptr);
        forgetRememberedSettings();
    }

    // One value of the result: above 0, or exactly 0 where there is no counter.
    static void expectValue(const std::string& value, const std::string& which) {
        if (GetParam().on486)
            EXPECT_EQ(0.0, atof(value.c_str())) << which << " [" << value << "]";
        else
            EXPECT_GT(atof(value.c_str()), 0.0) << which << " [" << value << "]";
    }

    static std::string storedValue(HKEY key, const char* name) {
        char data[16] = {};
        DWORD type = 0, size = sizeof data - 1;
        if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) != ERROR_SUCCESS)
            return "<missing>";
        if (type != REG_SZ)
            return "<type " + std::to_string(type) + ">";
        size_t length = strnlen(data, size);
        if (size > length + 1)
            return "<" + std::to_string(size) + " bytes>";  // stored with more than its text
        return std::string(data, length);
    }
};

TEST_P(ProgramOnReportedWindowsTest, RestoresSettingsMeasuresByItsPlatformsMethodAndEndsWithEsc) {
    // Remembered from an earlier run: 100 ms, 2 repetitions.
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, RememberedSettingsKey, 0, nullptr, 0,
                                             KEY_WRITE, nullptr, &key, nullptr));
    RegSetValueExA(key, "33220", 0, REG_SZ, reinterpret_cast<const BYTE*>("1"), 1);
    RegSetValueExA(key, "33221", 0, REG_SZ, reinterpret_cast<const BYTE*>("1"), 1);
    RegCloseKey(key);

    ProgramDriver program(GetParam().path());
    ASSERT_TRUE(program.start()) << "cannot start " << GetParam().path();
    ASSERT_NE(nullptr, program.waitForDialog(StartTimeoutMs));
    EXPECT_EQ("100", windowText(program.control(1000))) << "restored at opening";
    EXPECT_EQ("2", windowText(program.control(1001))) << "restored at opening";
    EXPECT_EQ(GetParam().ntFamily, IsWindowEnabled(program.control(1007)) != FALSE)
        << "one by one only where a worker measures each processor";

    program.selectEntry(1000, 2);  // 150 ms
    std::string result;
    ASSERT_TRUE(program.runTest(20000, result)) << "field shows [" << result << "]";

    struct Value { const char* name; const char* data; };
    const Value notSaved[] = {{"1", "<missing>"}, {"2", "<missing>"}, {"33220", "1"}, {"33221", "1"}, {"33233", "<missing>"}};
    const Value saved[] = {{"1", "0"}, {"2", "0"}, {"33220", "2"}, {"33221", "1"}, {"33233", "0"}};
    if (GetParam().ntFamily) {
        // One worker per processor; nothing is saved.
        SYSTEM_INFO system = {};
        GetSystemInfo(&system);
        ResultText parts = splitResult(result);
        ASSERT_EQ(system.dwNumberOfProcessors, parts.values.size()) << "[" << result << "]";
        for (size_t i = 0; i < parts.values.size(); ++i) {
            EXPECT_TRUE(isDecimal(parts.values[i], 4)) << "value " << i + 1 << " [" << parts.values[i] << "]";
            expectValue(parts.values[i], "value " + std::to_string(i + 1));
        }
    } else {
        // The estimator: one value with six decimals, then the settings are saved.
        EXPECT_TRUE(isDecimal(result, 6)) << "one value with six decimals: [" << result << "]";
        expectValue(result, "the estimate");
    }
    // A core clock under each value, with one decimal and above 0 on every processor, a 486
    // included: where there is no time-stamp counter the performance counter times the chains.
    const ResultText cores = splitResult(windowText(program.control(1005)));
    EXPECT_EQ(splitResult(result).values.size(), cores.values.size());
    for (size_t i = 0; i < cores.values.size(); ++i) {
        EXPECT_TRUE(isDecimal(cores.values[i], 1)) << "core clock " << i + 1 << " [" << cores.values[i] << "]";
        EXPECT_GT(atof(cores.values[i].c_str()), 0.0) << "core clock " << i + 1;
    }
    HKEY stored;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, RememberedSettingsKey, 0, KEY_READ, &stored));
    for (const Value& v : GetParam().ntFamily ? notSaved : saved)
        EXPECT_EQ(v.data, storedValue(stored, v.name)) << "value " << v.name;
    RegCloseKey(stored);

    program.click(2);
    DWORD status = 0;
    ASSERT_TRUE(program.waitForExit(ExitTimeoutMs, status)) << "still running";
    EXPECT_EQ(ProgramExitStatus, status);
}

INSTANTIATE_TEST_SUITE_P(TargetSystems, ProgramOnReportedWindowsTest, ::testing::ValuesIn(TargetSystems),
                         [](const ::testing::TestParamInfo<ReportedWindows>& info) {
                             return info.param.name();
                         });

}  // namespace
