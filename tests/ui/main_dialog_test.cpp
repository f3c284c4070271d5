// The main dialog opened inside this test process, driven by messages, with
// the real measuring code, settings store and link underneath.
#include <gtest/gtest.h>
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "app/app_module.h"
#include "app/message_pump.h"
#include "dialog_layout.h"
#include "dialog_test_support.h"
#include "measure/processor_workers.h"
#include "measure/result_table.h"
#include "measure/test_parameters.h"
#include "processor/emulation.h"
#include "processor/processor_name.h"
#include "res/resource_ids.h"
#include "support/bounded_wait.h"
#include "support/fake_processors.h"
#include "support/module_scope.h"
#include "support/platform_guard.h"
#include "support/remembered_settings.h"
#include "ui/main_dialog.h"
#include "ui/result_display.h"
#include "ui/result_layout.h"
#include "ui/site_address.h"

namespace {

std::vector<std::string> entries(HWND list) {
    std::vector<std::string> texts;
    LRESULT count = SendMessageA(list, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char text[64] = {};
        SendMessageA(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        texts.push_back(text);
    }
    return texts;
}

// The values of a result row's text, separated by tabs and line breaks.
std::vector<double> numbersIn(const std::string& text) {
    std::vector<double> numbers;
    const char* at = text.c_str();
    while (*at != '\0') {
        char* end = nullptr;
        numbers.push_back(strtod(at, &end));
        if (end == at)
            break;
        at = end + strspn(end, "\t\r\n");
    }
    return numbers;
}

int decimalsOf(const std::string& value) {
    size_t point = value.find('.');
    return point == std::string::npos ? -1 : static_cast<int>(value.size() - point - 1);
}

class MainDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(module.started());
        forgetRememberedSettings();
        // No results yet, as in a process that has just started, whatever an
        // earlier test measured.
        resultTable.setCount(0);
        if (registerPump()) {
            ASSERT_EQ(1, appModule.registerPump(&pump));
        }
        window = dialog.createModeless(nullptr, 0);
        ASSERT_NE(nullptr, window);
    }
    void TearDown() override {
        if (IsWindow(window))
            DestroyWindow(window);
        drainMessages();
        appModule.unregisterPump();
        forgetRememberedSettings();
    }
    virtual bool registerPump() const { return true; }

    void command(WORD id) { SendMessageA(window, WM_COMMAND, id, 0); }
    HWND item(int id) const { return GetDlgItem(window, id); }
    // Dispatches through the dialog's pump filters, as the program's loop does.
    ::testing::AssertionResult pumpUntil(const std::function<bool()>& done, const char* what,
                                         DWORD timeoutMs) {
        return ::pumpUntil(done, what, timeoutMs, [this](MSG* m) { return pump.filterAll(m); });
    }

    ModuleScope module;
    MessagePump pump;
    MainDialog dialog;
    HWND window = nullptr;
};

TEST_F(MainDialogTest, OpensWithItsListsDefaultsLinkAndIcons) {
    std::vector<std::string> windows;
    for (int v = 50; v <= 950; v += 50)
        windows.push_back(std::to_string(v));
    EXPECT_EQ(windows, entries(item(1000)));
    EXPECT_EQ((std::vector<std::string>{"1", "2", "3", "4"}), entries(item(1001)));
    EXPECT_EQ("50", controlText(window, 1000)) << "prefix 5 stops at the first entry";
    EXPECT_EQ("1", controlText(window, 1001));
    EXPECT_EQ("MHZ", controlText(window, 1004));

    EXPECT_EQ(148u, PlatformVersion.dwOSVersionInfoSize);
    EXPECT_NE(0u, PlatformVersion.dwPlatformId) << "GetVersionExA filled the record";
    EXPECT_NE(0, SendMessageA(window, WM_GETICON, ICON_BIG, 0));
    EXPECT_NE(0, SendMessageA(window, WM_GETICON, ICON_SMALL, 0));

    EXPECT_EQ(NonGermanFlagFor(GetSystemDefaultLangID()), NonGermanSystem);
    const std::string address = BuildSiteAddress();
    EXPECT_EQ(address, controlText(window, 1003));
    EXPECT_EQ(item(1003), dialog.link().window()) << "the link is bound to control 1003";
    ASSERT_NE(nullptr, dialog.link().target());
    EXPECT_EQ(address + SiteQuery, dialog.link().target());
    ASSERT_NE(nullptr, dialog.link().caption());
    EXPECT_EQ(address, dialog.link().caption());

    EXPECT_STREQ(RememberedSettingsKey, MainDialogStateKey) << "where the tests look for the settings";
    EXPECT_EQ(1, pump.filters().count()) << "the dialog screens the thread's messages";
    EXPECT_EQ(1, pump.idleTasks().count());
}

TEST_F(MainDialogTest, FirstDisplayClearsTheFieldAndEnablesTest) {
    SetWindowTextA(item(1002), "stale");
    EnableWindow(item(1), FALSE);
    EXPECT_TRUE(pumpUntil([&] { return IsWindowEnabled(item(1)) != FALSE; },
                          "the first display to enable Test", 5000));
    EXPECT_EQ("", controlText(window, 1002));
}

TEST_F(MainDialogTest, AnyTimerShowsTheTable) {
    resultTable.setCount(3);
    resultTable.store(1, 2400.0);
    resultTable.store(2, 2399.5);
    resultTable.store(3, 0.001);
    resultTable.storeCoreClock(1, 3243.94);
    resultTable.storeCoreClock(2, 3243.86);
    resultTable.storeCoreClock(3, 0.0);
    EnableWindow(item(1), FALSE);
    SendMessageA(window, WM_TIMER, 7, 0);
    EXPECT_EQ("2400.0000\t2399.5000\t0.0010", controlText(window, 1002));
    EXPECT_EQ("3243.9\t3243.9\t0.0", controlText(window, 1005));
    EXPECT_TRUE(IsWindowEnabled(item(1)));
}

TEST_F(MainDialogTest, EstimatorPathShowsSixDecimalsAndRemembersTheSettings) {
    // 1: the Windows 9x family; 0: what a failed GetVersionExA leaves; 3: a
    // platform the program does not know. All use the estimator.
    for (DWORD platform : {1u, 0u, 3u}) {
        SCOPED_TRACE("platform id " + std::to_string(platform));
        forgetRememberedSettings();
        PlatformVersion.dwPlatformId = platform;
        SendMessageA(item(1000), CB_SETCURSEL, 1, 0);  // 100 ms
        SendMessageA(item(1001), CB_SETCURSEL, 0, 0);  // 1 repetition
        SetWindowTextA(item(1002), "");
        command(1);
        EXPECT_EQ(100, MeasureWindowMs.load());
        EXPECT_EQ(1, RepeatCount.load());
        const std::string result = controlText(window, 1002);
        EXPECT_EQ(6, decimalsOf(result)) << result;
        EXPECT_GT(atof(result.c_str()), 0.0) << result;
        const std::string core = controlText(window, 1005);
        EXPECT_EQ(1, decimalsOf(core)) << core;
        EXPECT_GT(atof(core.c_str()), 0.0) << core;
        EXPECT_TRUE(IsWindowEnabled(item(1)));
        EXPECT_EQ("0", rememberedValue("1"));
        EXPECT_EQ("0", rememberedValue("2"));
        EXPECT_EQ("1", rememberedValue("33220"));
        EXPECT_EQ("0", rememberedValue("33221"));
    }
}

TEST_F(MainDialogTest, ListWithoutSelectionFallsBackToItsDefault) {
    PlatformVersion.dwPlatformId = 1;
    SendMessageA(item(1000), CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    SendMessageA(item(1001), CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    ASSERT_EQ("", controlText(window, 1000));
    command(1);
    EXPECT_EQ(50, MeasureWindowMs.load()) << "never a window of 0";
    EXPECT_EQ(1, RepeatCount.load()) << "never a count of 0";
    EXPECT_EQ("50", controlText(window, 1000)) << "the list shows what was used";
    EXPECT_EQ("1", controlText(window, 1001));
    EXPECT_EQ(6, decimalsOf(controlText(window, 1002)));
}

// The workers the measuring code creates.
std::atomic<LONG> workersCreated{0};

HANDLE WINAPI CountingCreateThread(LPSECURITY_ATTRIBUTES security, SIZE_T stack, LPTHREAD_START_ROUTINE routine,
                                   LPVOID parameter, DWORD flags, LPDWORD id) {
    workersCreated += routine == ProcessorWorkerMain;
    return CreateThread(security, stack, routine, parameter, flags, id);
}

TEST_F(MainDialogTest, WorkersPathDisablesTestUntilTheDisplayAndSavesNothing) {
    PlatformVersion.dwPlatformId = VER_PLATFORM_WIN32_NT;
    SYSTEM_INFO system = {};
    GetSystemInfo(&system);
    // Let the first display pass so that it cannot be mistaken for the
    // result. Nothing has been dispatched since the dialog opened, so it is
    // still to come, and it clears the field.
    SetWindowTextA(item(1002), "before the first display");
    ASSERT_TRUE(pumpUntil([&] { return controlText(window, 1002).empty(); }, "the first display",
                          5000));
    MeasurePlatformGuard platform;
    measurePlatform().CreateThread = CountingCreateThread;
    command(1);
    EXPECT_FALSE(IsWindowEnabled(item(1))) << "disabled while the workers run";
    EXPECT_EQ(50, MeasureWindowMs.load());
    // A posted command 1, as Enter gives whatever the button's state, is ignored while they
    // run: no processor gets a second worker beside its first.
    PostMessageA(window, WM_COMMAND, IDC_TEST, 0);
    ASSERT_TRUE(pumpUntil([&] { return IsWindowEnabled(item(1)) != FALSE; },
                          "the result display to enable Test", 20000));
    EXPECT_EQ(resultTable.count(), workersCreated.load()) << "one worker per processor";

    const std::string result = controlText(window, 1002);
    size_t values = 1;
    for (char c : result)
        values += c == '\t' || c == '\n';
    // One worker per processor the system reports, up to the table's last entry.
    const DWORD last = ResultTable::LastProcessor;
    const size_t processors = system.dwNumberOfProcessors < last ? system.dwNumberOfProcessors : last;
    EXPECT_EQ(processors, values) << result;
    EXPECT_FALSE(rememberedSettingsExist());

    // Every processor gets a core clock, and two tests agree within 2%. The
    // host of a virtual machine changes the cores' clock from one moment to
    // the next (by up to 8% within a second, measured natively on a busy
    // host) and may hold another clock for seconds, so up to eight tests are
    // taken until one agrees with any test before it.
    std::vector<std::vector<double>> earlier(1, numbersIn(controlText(window, 1005)));
    ASSERT_EQ(processors, earlier[0].size()) << controlText(window, 1005);
    std::string disagreement;
    for (int test = 2; test <= 8; ++test) {
        command(1);
        ASSERT_TRUE(pumpUntil([&] { return IsWindowEnabled(item(1)) != FALSE; }, "the next result display", 20000));
        const std::vector<double> later = numbersIn(controlText(window, 1005));
        ASSERT_EQ(processors, later.size());
        for (size_t k = 0; k < processors; ++k)
            EXPECT_GT(later[k], 0.0) << "test " << test << ", processor " << k + 1;
        for (const std::vector<double>& before : earlier) {
            disagreement.clear();
            for (size_t k = 0; k < processors; ++k) {
                if (std::fabs(later[k] - before[k]) > 0.02 * before[k])
                    disagreement += " processor " + std::to_string(k + 1) + ": " + std::to_string(before[k]) +
                                    " then " + std::to_string(later[k]);
            }
            if (disagreement.empty())
                break;
        }
        if (disagreement.empty())
            break;
        earlier.push_back(later);
    }
    EXPECT_EQ("", disagreement) << "two of eight tests agree within 2%";
}

ULONGLONG processorTime100ns() {
    FILETIME created, ended, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
    return (static_cast<ULONGLONG>(kernel.dwHighDateTime) << 32 | kernel.dwLowDateTime) +
           (static_cast<ULONGLONG>(user.dwHighDateTime) << 32 | user.dwLowDateTime);
}

// One by one on this machine: each processor measured alone, in turn, with
// windows of 950 ms, far longer than the display timer's period. "Test"
// stays disabled through the displays between the workers, which fill the
// rows in processor by processor; at the end every processor has both
// figures, and the process has worked as one busy processor does, not as all
// of them at once.
TEST_F(MainDialogTest, OneByOneMeasuresEachProcessorAloneAndKeepsTestDisabledToTheEnd) {
    PlatformVersion.dwPlatformId = VER_PLATFORM_WIN32_NT;
    SYSTEM_INFO system = {};
    GetSystemInfo(&system);
    const DWORD last = ResultTable::LastProcessor;
    const size_t processors = system.dwNumberOfProcessors < last ? system.dwNumberOfProcessors : last;
    ASSERT_TRUE(pumpUntil([&] { return IsWindowEnabled(item(1)) != FALSE; }, "the first display", 5000));
    SendMessageA(item(IDC_ONE_BY_ONE), BM_SETCHECK, BST_CHECKED, 0);
    SendMessageA(item(1000), CB_SETCURSEL, 18, 0);  // 950 ms

    const ULONGLONG wallBefore = GetTickCount64();
    const ULONGLONG processorBefore = processorTime100ns();
    command(1);
    // Enter while it runs, which the dialog manager sends whatever the
    // button, with the box unchecked by then: ignored.
    SendMessageA(item(IDC_ONE_BY_ONE), BM_SETCHECK, BST_UNCHECKED, 0);
    command(1);
    bool partlyFilled = false;
    ASSERT_TRUE(pumpUntil(
        [&] {
            const std::vector<double> cores = numbersIn(controlText(window, 1005));
            if (cores.size() == processors && cores.front() > 0.0 && cores.back() == 0.0)
                partlyFilled = true;
            return IsWindowEnabled(item(1)) != FALSE;
        },
        "the end of the test", 60000));
    const double wallMs = static_cast<double>(GetTickCount64() - wallBefore);
    const double processorMs = (processorTime100ns() - processorBefore) / 10000.0;

    EXPECT_FALSE(oneByOneProgress().running) << "\"Test\" came back before the last processor";
    EXPECT_EQ(static_cast<LONG>(processors), oneByOneProgress().done);
    if (processors > 1) {
        EXPECT_TRUE(partlyFilled) << "a display between the workers shows the first done, the last not yet";
    }
    std::string cores = controlText(window, 1005);
    cores.erase(std::remove(cores.begin(), cores.end(), '*'), cores.end());
    const std::vector<double> rates = numbersIn(controlText(window, 1002));
    const std::vector<double> clocks = numbersIn(cores);
    ASSERT_EQ(processors, rates.size()) << controlText(window, 1002);
    ASSERT_EQ(processors, clocks.size()) << cores;
    for (size_t k = 0; k < processors; ++k) {
        EXPECT_GT(rates[k], 0.0) << "processor " << k + 1;
        EXPECT_GT(clocks[k], 0.0) << "processor " << k + 1;
    }
    EXPECT_EQ("MHZ Kerntakt einzeln / Core clock one by one", controlText(window, IDC_CORE_UNIT));
    EXPECT_TRUE(dialog.shownResults().oneByOne);
    // All at once, this machine's processors would all be busy for the
    // test's whole length.
    EXPECT_LT(processorMs, 1.5 * wallMs) << processorMs << " ms of processor time in " << wallMs << " ms";
    EXPECT_GT(wallMs, processors * 900.0) << "one window after another";
}

TEST_F(MainDialogTest, EscapeThroughTheDialogManagerEndsThePumpWithStatus2) {
    // The key reaches the dialog manager only through the dialog's filter.
    PostMessageA(item(1), WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_EQ(2, pump.pumpMessages());
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(nullptr, dialog.window());
    MSG message = {};
    message.hwnd = window;
    message.message = WM_KEYDOWN;
    message.wParam = VK_ESCAPE;
    EXPECT_FALSE(dialog.screen(&message)) << "consumes nothing once the window is gone";
}

TEST_F(MainDialogTest, CloseBoxAndEscButtonEndWithStatus2) {
    PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(2, pump.pumpMessages()) << "close box";
    EXPECT_FALSE(IsWindow(window));
}

// Where the parts of the result area are, in the dialog's client area, and
// the dialog on the screen.
struct AreaGeometry {
    RECT field, unitLabel, coreField, coreLabel, siteLink, groupBox, dialog;
};

RECT rectIn(HWND dialog, HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

AreaGeometry areaOf(HWND dialog) {
    AreaGeometry g = {};
    g.field = rectIn(dialog, GetDlgItem(dialog, 1002));
    g.unitLabel = rectIn(dialog, GetDlgItem(dialog, 1004));
    g.coreField = rectIn(dialog, GetDlgItem(dialog, 1005));
    g.coreLabel = rectIn(dialog, GetDlgItem(dialog, 1006));
    g.siteLink = rectIn(dialog, GetDlgItem(dialog, 1003));
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char name[16] = {};
        GetClassNameA(child, name, sizeof name);
        if (lstrcmpiA(name, "Button") == 0 && (GetWindowLongA(child, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX)
            g.groupBox = rectIn(dialog, child);
    }
    GetWindowRect(dialog, &g.dialog);
    return g;
}

LONG heightOf(const RECT& r) { return r.bottom - r.top; }

bool inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

void showValues(HWND dialog, LONG count) {
    resultTable.setCount(count);
    for (LONG k = 1; k <= count; ++k) {
        resultTable.store(k, 2400.0 + k * 0.0001);
        resultTable.storeCoreClock(k, 3200.0 + k * 0.1);
    }
    SendMessageA(dialog, WM_TIMER, DisplayTimer, 0);
}

// The copy's lines before the values: the header, the processor's name and
// its emulation note, and the clock lines this machine answers.
size_t linesBeforeValues(const ShownResults& shown) {
    size_t lines = 2 + (shown.emulatedOn != nullptr ? 2 : 0);
    for (const char* line : {shown.rated, shown.verdict, shown.caps})
        lines += line != nullptr && line[0] != '\0' ? 1 : 0;
    return lines;
}

std::string tableText() {
    static char text[ResultDisplaySize];
    FormatResultTable(resultTable, text);
    return text;
}

std::string coreClockText() {
    static char text[ResultDisplaySize];
    FormatCoreClockTable(resultTable, text);
    return text;
}

// A rectangle of the template, in dialog units, in the dialog's pixels: its
// origin and its size are each converted, as the dialog manager does.
RECT templateRect(HWND dialog, int x, int y, int cx, int cy) {
    RECT r = {x, y, cx, cy};
    MapDialogRect(dialog, &r);
    return {r.left, r.top, r.left + r.right, r.top + r.bottom};
}

bool sameRect(const RECT& a, const RECT& b) {
    return EqualRect(&a, &b) != FALSE;
}

// The dialog opens with the core clocks' row below the time-stamp rates'
// row, one row (33 dialog units) further down, and is centred in the work
// area with its full height. The result field and everything below it move
// down by the rows opened above it.
TEST_F(MainDialogTest, OpensWithTheCoreClocksRowAndItsFullHeightCentred) {
    EXPECT_EQ("", controlText(window, 1005)) << "empty before the first test";
    EXPECT_EQ("MHZ Kerntakt / Core clock", controlText(window, 1006));
    EXPECT_EQ("MHZ", controlText(window, 1004));
    EXPECT_EQ(SendMessageA(window, WM_GETFONT, 0, 0), SendMessageA(item(1005), WM_GETFONT, 0, 0));
    EXPECT_EQ(SendMessageA(window, WM_GETFONT, 0, 0), SendMessageA(item(1006), WM_GETFONT, 0, 0));
    EXPECT_EQ(item(1005), GetWindow(item(1002), GW_HWNDNEXT)) << "after the result field in the tab order";

    const AreaGeometry g = areaOf(window);
    // Rows opened above the results move them down: the options' row (16
    // dialog units), the legend's (10) and the processor's line (at least 10).
    RECT field = templateRect(window, 13, 56, 197, 17);
    const LONG above = g.field.top - field.top;
    EXPECT_GE(above, templateRect(window, 0, 0, 1, 36).bottom - 1);
    OffsetRect(&field, 0, above);
    RECT unit = templateRect(window, 13, 77, 197, 8);
    OffsetRect(&unit, 0, above);
    EXPECT_TRUE(sameRect(field, g.field));
    EXPECT_TRUE(sameRect(unit, g.unitLabel));
    // One row: 33 dialog units, as the result field and the unit label take
    // with the gap between them, give or take the rounding of a pixel.
    const LONG row = g.coreField.top - g.field.top;
    const LONG units33 = templateRect(window, 0, 0, 1, 33).bottom;
    EXPECT_LE(std::abs(row - units33), 1) << row << " pixels";
    EXPECT_TRUE(sameRect({field.left, field.top + row, field.right, field.bottom + row}, g.coreField));
    EXPECT_TRUE(sameRect({unit.left, unit.top + row, unit.right, unit.bottom + row}, g.coreLabel));
    RECT link = templateRect(window, 7, 95, 213, 8);
    OffsetRect(&link, 0, above + row);
    EXPECT_TRUE(sameRect(link, g.siteLink));
    RECT box = templateRect(window, 7, 6, 213, 84);
    box.bottom += above + row;
    EXPECT_TRUE(sameRect(box, g.groupBox));

    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(templateRect(window, 0, 0, 227, 110).bottom + above + row, client.bottom) << "taller by the rows";
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_LE(std::abs((g.dialog.top + g.dialog.bottom) - (work.top + work.bottom)), 1) << "centred as it is";
    EXPECT_LE(std::abs((g.dialog.left + g.dialog.right) - (work.left + work.right)), 1);
}

// Up to four values the dialog stays as it opened. More are shown one line
// per four values in both rows: the fields, the group box and the dialog
// grow, the controls below move down, and every value fits its column. Past
// what the work area holds the fields scroll together, by keyboard and mouse.
// Each field's text is always the table's text.
TEST_F(MainDialogTest, MoreThanFourValuesGrowTheDialogWithinTheWorkArea) {
    const AreaGeometry made = areaOf(window);
    HWND field = item(1002);
    const LONG_PTR staticProcedure = GetWindowLongPtrA(field, GWLP_WNDPROC);
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);

    // Also stops the first display, which would empty the field.
    showValues(window, 3);
    const AreaGeometry three = areaOf(window);
    EXPECT_EQ(0, memcmp(&made, &three, sizeof made)) << "three values: as it opened";
    EXPECT_EQ(staticProcedure, GetWindowLongPtrA(field, GWLP_WNDPROC)) << "the static's own drawing";
    // Four values, centred with their tabs expanded, would be wider than the
    // field: they are drawn whole, in its columns.
    showValues(window, 4);
    const AreaGeometry four = areaOf(window);
    EXPECT_EQ(0, memcmp(&made, &four, sizeof made)) << "four values: as it opened";
    EXPECT_TRUE(dialog.results().field().drawsLines());
    EXPECT_FALSE(dialog.results().layout().scrolls);

    {
        // Sixteen processors measured by the workers, as the program would.
        FakeProcessors sixteen(16);
        PlatformVersion.dwPlatformId = VER_PLATFORM_WIN32_NT;
        command(1);
        ASSERT_TRUE(pumpUntil([&] { return IsWindowEnabled(item(1)) != FALSE; },
                              "the result display to enable Test", 20000));
    }
    ASSERT_EQ(16, resultTable.count());
    EXPECT_EQ(tableText(), controlText(window, 1002));
    EXPECT_EQ(coreClockText(), controlText(window, 1005));
    const ResultLayout& layout = dialog.results().layout();
    const AreaGeometry sixteen = areaOf(window);
    const LONG grown = 3 * layout.lineHeight;
    EXPECT_EQ(heightOf(made.field) + grown, heightOf(sixteen.field));
    EXPECT_EQ(heightOf(made.coreField) + grown, heightOf(sixteen.coreField));
    EXPECT_EQ(heightOf(made.groupBox) + 2 * grown, heightOf(sixteen.groupBox));
    EXPECT_EQ(heightOf(made.dialog) + 2 * grown, heightOf(sixteen.dialog));
    EXPECT_EQ(made.unitLabel.top + grown, sixteen.unitLabel.top);
    EXPECT_EQ(made.coreField.top + grown, sixteen.coreField.top);
    EXPECT_EQ(made.coreLabel.top + 2 * grown, sixteen.coreLabel.top);
    EXPECT_EQ(made.siteLink.top + 2 * grown, sixteen.siteLink.top);
    EXPECT_TRUE(inside(sixteen.dialog, work));
    EXPECT_FALSE(layout.scrolls);
    {
        // Each value, as the field's font draws it, fits its column.
        HDC dc = GetDC(field);
        HGDIOBJ before = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(field, WM_GETFONT, 0, 0)));
        for (LONG k = 1; k <= 16; ++k) {
            char value[32];
            snprintf(value, sizeof value, "%.4f", resultTable.value(k));
            SIZE extent;
            GetTextExtentPoint32A(dc, value, static_cast<int>(strlen(value)), &extent);
            const RECT cell = ResultCell(layout, (k - 1) / 4, (k - 1) % 4, 0);
            EXPECT_LE(extent.cx, cell.right - cell.left) << "value " << k;
        }
        SelectObject(dc, before);
        ReleaseDC(field, dc);
    }

    showValues(window, 2048);
    EXPECT_TRUE(tableText() == controlText(window, 1002)) << "all 2,048 values, as formatted";
    EXPECT_TRUE(coreClockText() == controlText(window, 1005)) << "all 2,048 core clocks";
    const AreaGeometry all = areaOf(window);
    EXPECT_TRUE(inside(all.dialog, work));
    EXPECT_TRUE(inside(all.field, all.groupBox));
    EXPECT_TRUE(inside(all.coreField, all.groupBox));
    EXPECT_TRUE(inside(all.coreLabel, all.groupBox));
    EXPECT_GE(all.siteLink.top, all.groupBox.bottom);
    ASSERT_TRUE(layout.scrolls) << "512 lines do not fit";
    const LONG style = GetWindowLongA(field, GWL_STYLE);
    EXPECT_TRUE(style & WS_VSCROLL);
    EXPECT_TRUE(style & WS_TABSTOP) << "the keyboard can reach it";
    // Tab from the controls before it, the one-by-one box and the history's
    // button in the row under the lists, reaches the field, and the dialog
    // manager leaves the arrow keys to it.
    ShowWindow(window, SW_SHOWNOACTIVATE);
    SetFocus(item(IDC_ONE_BY_ONE));
    auto key = [&](HWND to, WPARAM code) {
        MSG message = {};
        message.hwnd = to;
        message.message = WM_KEYDOWN;
        message.wParam = code;
        return dialog.screen(&message);
    };
    EXPECT_TRUE(key(item(IDC_ONE_BY_ONE), VK_TAB));
    EXPECT_EQ(item(IDC_HISTORY), GetFocus()) << "Tab: the history's button, in the row between";
    EXPECT_TRUE(key(item(IDC_HISTORY), VK_TAB));
    EXPECT_EQ(field, GetFocus()) << "Tab";
    EXPECT_TRUE(key(field, VK_DOWN));
    EXPECT_EQ(1, dialog.results().field().topLine()) << "Down";
    const int last = LastTopLine(layout);
    struct Step { UINT message; WPARAM wParam; int top; };
    const Step steps[] = {
        {WM_KEYDOWN, VK_END, last},
        {WM_KEYDOWN, VK_PRIOR, last - layout.visibleLines},
        {WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), last - layout.visibleLines - 3},
        {WM_KEYDOWN, VK_HOME, 0},
        {WM_KEYDOWN, VK_UP, 0},
        {WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 3},
        {WM_VSCROLL, SB_LINEDOWN, 4},
        {WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, last + 9), last},
    };
    for (const Step& step : steps) {
        SendMessageA(field, step.message, step.wParam, 0);
        EXPECT_EQ(step.top, dialog.results().field().topLine())
            << "message " << step.message << " " << step.wParam;
        EXPECT_EQ(step.top, dialog.results().coreField().topLine()) << "the core clocks follow";
    }
    SCROLLINFO bar = {};
    bar.cbSize = sizeof bar;
    bar.fMask = SIF_ALL;
    GetScrollInfo(field, SB_VERT, &bar);
    EXPECT_EQ(last, bar.nPos);
    EXPECT_EQ(511, bar.nMax);
    RECT fieldOnScreen;
    GetWindowRect(field, &fieldOnScreen);
    POINT onBar = {fieldOnScreen.right - 2, (fieldOnScreen.top + fieldOnScreen.bottom) / 2};
    EXPECT_EQ(HTVSCROLL, SendMessageA(field, WM_NCHITTEST, 0, MAKELPARAM(onBar.x, onBar.y)))
        << "the mouse reaches the scroll bar";

    showValues(window, 3);
    EXPECT_EQ(tableText(), controlText(window, 1002));
    const AreaGeometry back = areaOf(window);
    EXPECT_EQ(0, memcmp(&made.field, &back.field, sizeof made - sizeof made.dialog)) << "as made";
    EXPECT_EQ(heightOf(made.dialog), heightOf(back.dialog));
    EXPECT_FALSE(GetWindowLongA(field, GWL_STYLE) & (WS_VSCROLL | WS_TABSTOP));
}

// The runs of dark columns across a control as it has drawn itself: where
// its values are. Columns closer than two characters' width belong to one
// value.
std::vector<std::pair<LONG, LONG>> valuesOnScreen(HWND dialog, HWND control) {
    RECT r;
    GetClientRect(control, &r);
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC screen = GetDC(control);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ before = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    GdiFlush();
    RECT cell = {0, 0, 4, 8};
    MapDialogRect(dialog, &cell);
    std::vector<std::pair<LONG, LONG>> runs;
    LONG lastInk = -1000;
    for (int x = 0; x < width; ++x) {
        bool ink = false;
        for (int y = 0; y < height && !ink; ++y) {
            const DWORD pixel = static_cast<const DWORD*>(bits)[y * width + x];
            ink = ((pixel & 0xFF) + ((pixel >> 8) & 0xFF) + ((pixel >> 16) & 0xFF)) < 3 * 96;
        }
        if (!ink)
            continue;
        if (x - lastInk > 2 * cell.right)
            runs.push_back({x, x});
        runs.back().second = x;
        lastInk = x;
    }
    SelectObject(memory, before);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(control, screen);
    return runs;
}

// However long their texts, a processor's core clock stands centred under
// its time-stamp rate, as the result field draws it: centred, its tabs
// expanded; from four values on, both are right-aligned in the same columns.
TEST_F(MainDialogTest, EachCoreClockStandsUnderItsTimeStampRate) {
    ShowWindow(window, SW_SHOWNOACTIVATE);
    for (LONG count : {1, 2, 3, 4}) {
        SCOPED_TRACE(std::to_string(count) + " values");
        showValues(window, count);
        UpdateWindow(window);
        RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        const auto rates = valuesOnScreen(window, item(1002));
        const auto cores = valuesOnScreen(window, item(1005));
        ASSERT_EQ(size_t(count), rates.size());
        ASSERT_EQ(size_t(count), cores.size());
        for (LONG k = 0; k < count; ++k) {
            if (count < 4)
                EXPECT_LE(std::abs((rates[k].first + rates[k].second) - (cores[k].first + cores[k].second)), 3)
                    << "value " << k + 1 << " centred under";
            else
                EXPECT_LE(std::abs(rates[k].second - cores[k].second), 1) << "value " << k + 1 << " right-aligned";
        }
    }
}

// A row's values and the lines of a copy, split at tabs and line ends.
std::vector<std::string> fields(const std::string& text, const char* separators) {
    std::vector<std::string> parts;
    size_t from = 0;
    while (from <= text.size()) {
        const size_t end = text.find_first_of(separators, from);
        parts.push_back(text.substr(from, end - from));
        if (end == std::string::npos)
            break;
        from = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return parts;
}

// Ctrl+C anywhere in the dialog puts the results shown on the clipboard: a
// header, then per processor its number and its two values as the rows show
// them, in columns. Before a test, and inside an open drop-down list, it
// leaves the clipboard alone.
TEST_F(MainDialogTest, CtrlCCopiesTheResultsShown) {
    ShowWindow(window, SW_SHOWNOACTIVATE);
    putOnClipboard(window, "before");
    pressCtrlC(pump, item(1));
    EXPECT_EQ("before", clipboardText(window)) << "nothing shown yet";

    {
        FakeProcessors two(2);
        PlatformVersion.dwPlatformId = VER_PLATFORM_WIN32_NT;
        SendMessageA(item(1001), CB_SETCURSEL, 1, 0);  // 2 repetitions
        command(1);
        ASSERT_TRUE(pumpUntil([&] { return IsWindowEnabled(item(1)) != FALSE && resultTable.count() == 2; },
                              "the result display to enable Test", 20000));
    }
    EXPECT_TRUE(pressCtrlC(pump, item(1)));
    const std::vector<std::string> lines = fields(clipboardText(window), "\n");
    const size_t head = linesBeforeValues(dialog.shownResults());
    ASSERT_EQ(head + 3, lines.size()) << "header, processor, clocks, two processors, and nothing after the last line end";
    EXPECT_EQ("Zyklomatrix 1.01 (Freeware): 2 processors, 50 ms x 2, all at once\r", lines[0]);
    EXPECT_EQ(controlText(window, 1009) + "\r", lines[1]);
    const std::vector<std::string> rates = fields(controlText(window, 1002), "\t");
    const std::vector<std::string> cores = fields(controlText(window, 1005), "\t");
    for (size_t k = 0; k < 2; ++k) {
        EXPECT_EQ(std::to_string(k + 1) + "\t" + rates[k] + "\t" + cores[k] + "\r", lines[k + head]);
    }

    showValues(window, 2048);
    SetFocus(item(1000));
    EXPECT_TRUE(pressCtrlC(pump, item(1000))) << "from a closed list";
    const std::vector<std::string> all = fields(clipboardText(window), "\n");
    ASSERT_EQ(linesBeforeValues(dialog.shownResults()) + 2049, all.size());
    EXPECT_EQ("2048\t2400.2048\t3404.8\r", all[all.size() - 2]);

    putOnClipboard(window, "before");
    SendMessageA(item(1000), CB_SHOWDROPDOWN, TRUE, 0);
    ASSERT_TRUE(SendMessageA(item(1000), CB_GETDROPPEDSTATE, 0, 0));
    pressCtrlC(pump, item(1000));
    SendMessageA(item(1000), CB_SHOWDROPDOWN, FALSE, 0);
    EXPECT_EQ("before", clipboardText(window)) << "left to the open list";
}

// A right click on either result row offers "Kopieren / Copy", which copies
// as Ctrl+C does; elsewhere the dialog offers no menu of its own.
TEST_F(MainDialogTest, TheResultRowsContextMenuCopies) {
    ShowWindow(window, SW_SHOWNOACTIVATE);
    showValues(window, 2);
    putOnClipboard(window, "before");
    RECT test;
    GetWindowRect(item(1), &test);
    SendMessageA(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window), MAKELPARAM(test.left + 2, test.top + 2));
    EXPECT_EQ("before", clipboardText(window)) << "not the rows' menu";

    // The menu runs a loop of its own: keys already waiting choose its one
    // command.
    RECT core;
    GetWindowRect(item(1005), &core);
    PostMessageA(window, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(window, WM_KEYDOWN, VK_RETURN, 0);
    SendMessageA(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window), MAKELPARAM(core.left + 2, core.top + 2));
    const std::vector<std::string> lines = fields(clipboardText(window), "\n");
    ASSERT_EQ(linesBeforeValues(dialog.shownResults()) + 3, lines.size()) << clipboardText(window);
    EXPECT_EQ("2\t2400.0002\t3200.2\r", lines[lines.size() - 2]);
}

// A dialog minimised while the workers run gets its new height when it is
// restored.
TEST_F(MainDialogTest, MinimisedDialogGrowsWhenRestored) {
    ShowWindow(window, SW_SHOWNOACTIVATE);
    RECT made;
    GetWindowRect(window, &made);
    ShowWindow(window, SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(window));
    showValues(window, 16);
    EXPECT_TRUE(IsIconic(window)) << "stays minimised";
    ShowWindow(window, SW_RESTORE);
    RECT restored;
    GetWindowRect(window, &restored);
    EXPECT_EQ(heightOf(made) + 2 * 3 * dialog.results().layout().lineHeight, heightOf(restored));
}

// Start-up registers the thread's pump first; when that failed, the dialog
// still opens and works without the dialog manager's keyboard handling.
class MainDialogWithoutPumpTest : public MainDialogTest {
protected:
    bool registerPump() const override { return false; }
};

// The one-by-one choice is remembered with the dialog's other settings:
// saved where they are (after a test on the estimator's path) and restored
// when the dialog opens. Settings saved before it existed leave it unchecked.
TEST_F(MainDialogWithoutPumpTest, TheOneByOneChoiceIsRememberedWithTheSettings) {
    EXPECT_EQ(item(IDC_ONE_BY_ONE), GetNextDlgTabItem(window, item(1001), FALSE)) << "Tab from the lists above";
    SendMessageA(item(IDC_ONE_BY_ONE), BM_SETCHECK, BST_CHECKED, 0);
    PlatformVersion.dwPlatformId = VER_PLATFORM_WIN32_WINDOWS;
    command(1);
    for (const char* stored : {"1", "<missing>"}) {
        ASSERT_EQ(stored, rememberedValue("33233"));
        MainDialog reopened;
        HWND again = reopened.createModeless(nullptr, 0);
        EXPECT_EQ(stored[0] == '1' ? BST_CHECKED : BST_UNCHECKED,
                  SendMessageA(GetDlgItem(again, IDC_ONE_BY_ONE), BM_GETCHECK, 0, 0));
        DestroyWindow(again);
        HKEY key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, RememberedSettingsKey, 0, KEY_WRITE, &key) == ERROR_SUCCESS) {
            RegDeleteValueA(key, "33233");
            RegCloseKey(key);
        }
    }
}

TEST_F(MainDialogWithoutPumpTest, OpensAndEndsWithoutAPump) {
    EXPECT_EQ(0, pump.filters().count());
    EXPECT_EQ("50", controlText(window, 1000));
    command(2);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(WPARAM(2), drainMessages());
}

// The first "model name" of the machine's /proc/cpuinfo, seen through Wine's
// drive for the root; empty where there is none.
std::string hostModelName() {
    std::ifstream cpuinfo("Z:\\proc\\cpuinfo");
    std::string line;
    while (std::getline(cpuinfo, line) && line.compare(0, 10, "model name") != 0) {
    }
    line.erase(0, line.find(':') + 1);
    line.erase(0, line.find_first_not_of(" \t"));
    return line.erase(line.find_last_not_of(" \t\r") + 1);
}

// The dialog names the processor in a line of its own above the results,
// the name this machine's kernel reads from the same processor; KVM is a
// hardware hypervisor, so nothing is emulated and the figures stay.
TEST_F(MainDialogTest, NamesTheProcessorAboveTheResultsAndMeasuresUnderAHardwareHypervisor) {
    const std::string host = hostModelName();
    ASSERT_FALSE(host.empty()) << "no model name in Z:\\proc\\cpuinfo";
    EXPECT_EQ(host, controlText(window, 1009));
    EXPECT_EQ(ProcessorName(), controlText(window, 1009));
    EXPECT_EQ(nullptr, EmulatedOn());
    EXPECT_EQ(nullptr, item(1011)) << "no kinds of cores told apart here";
    EXPECT_EQ(item(1012), GetWindow(item(1009), GW_HWNDNEXT)) << "before the rated clocks in the tab order";
    EXPECT_EQ(item(1013), GetWindow(item(1012), GW_HWNDNEXT)) << "then the caps";
    EXPECT_EQ(item(1010), GetWindow(item(1013), GW_HWNDNEXT)) << "then the legend below them";
    EXPECT_EQ(item(1002), GetWindow(item(1010), GW_HWNDNEXT)) << "and the legend right before the results";
    EXPECT_EQ(SendMessageA(window, WM_GETFONT, 0, 0), SendMessageA(item(1009), WM_GETFONT, 0, 0));
    EXPECT_EQ(std::vector<std::string>(), LayoutFaults(window));
}

// A dialog opened while the given fakes are in place, and what it shows and
// copies once twelve processors have been measured.
struct OpenedWithFakes {
    MainDialog dialog;
    HWND window = nullptr;

    OpenedWithFakes() {
        window = dialog.createModeless(nullptr, 0);
        ShowWindow(window, SW_SHOWNOACTIVATE);
        showValues(window, 12);
    }
    ~OpenedWithFakes() { DestroyWindow(window); }
    std::vector<std::string> copiedLines() {
        dialog.copyResults();
        return fields(clipboardText(window), "\n");
    }
};

// Performance and efficiency cores: every value of both rows carries its
// core's mark, a legend says what the marks mean, the copy has them in a
// column of their own, and everything fits.
TEST_F(MainDialogTest, MarksEachProcessorsKindOfCoreWhereThereAreSeveral) {
    FakeProcessors twelve(12);
    FakeCoreClasses hybrid([](LONG k) { return static_cast<BYTE>(k <= 4 ? 1 : 0); });
    OpenedWithFakes opened;
    const std::vector<std::string> rates = fields(controlText(opened.window, 1002), "\t\r");
    const std::vector<std::string> cores = fields(controlText(opened.window, 1005), "\t\r");
    ASSERT_EQ(12u, rates.size());
    ASSERT_EQ(12u, cores.size());
    for (size_t k = 0; k < 12; ++k) {
        const char* mark = k < 4 ? " P" : " E";
        EXPECT_EQ(mark, rates[k].substr(rates[k].size() - 2)) << "processor " << k + 1;
        EXPECT_EQ(mark, cores[k].substr(cores[k].size() - 2)) << "processor " << k + 1;
    }
    EXPECT_EQ("P = Leistungskern, E = Effizienzkern /\nP = performance core, E = efficiency core",
              controlText(opened.window, 1011));
    EXPECT_EQ(std::vector<std::string>(), LayoutFaults(opened.window));
    const std::vector<std::string> lines = opened.copiedLines();
    const size_t head = linesBeforeValues(opened.dialog.shownResults());
    ASSERT_EQ(head + 13, lines.size());
    EXPECT_EQ("1\t2400.0001\t3200.1\tP\r", lines[head]);
    EXPECT_EQ("12\t2400.0012\t3201.2\tE\r", lines[head + 11]);
}

// The rated clocks with the verdict on the test shown under them, and what
// caps the clocks, in the dialog and in the copy; under Wine no power scheme
// answers.
TEST_F(MainDialogTest, HoldsTheCoreClocksAgainstTheRatedClocksAndSaysWhatCapsThem) {
    MeasurePlatformGuard platform;
    static bool (*const realLeaf)(unsigned, CpuidLeaf*) = processorPlatform().ReadCpuidLeaf;
    processorPlatform().ReadCpuidLeaf = [](unsigned number, CpuidLeaf* leaf) {
        const CpuidLeaf genuineIntel = {0x16, 0x756E6547, 0x6C65746E, 0x49656E69};
        if (number == 0 || number == 0x16) {
            *leaf = number == 0 ? genuineIntel : CpuidLeaf{3000, 3500, 100, 0};
            return true;
        }
        return realLeaf(number, leaf);
    };
    OpenedWithFakes opened;
    const char Rated[] = "Nenntakt / Rated: Basis / base 3,000 MHz, max. 3,500 MHz (CPUID)";
    const char Verdict[] = "erreicht / reaches 106.7 % of 3,000 MHz";
    const char Caps[] = "Begrenzt durch / Capped by: Energieeinstellungen unbekannt / power settings unknown";
    EXPECT_EQ(std::string(Rated) + "\n" + Verdict, controlText(opened.window, 1012))
        << "the median of 3,200.1 to 3,201.2 MHz against the base";
    EXPECT_EQ(Caps, controlText(opened.window, 1013));
    EXPECT_EQ(std::vector<std::string>(), LayoutFaults(opened.window));
    const std::vector<std::string> lines = opened.copiedLines();
    ASSERT_EQ(18u, lines.size());
    EXPECT_EQ(std::string(ProcessorName()) + "\r", lines[1]);
    EXPECT_EQ(std::string(Rated) + "\r", lines[2]);
    EXPECT_EQ(std::string(Verdict) + "\r", lines[3]);
    EXPECT_EQ(std::string(Caps) + "\r", lines[4]);
}

BOOL WINAPI OnArm64(HANDLE, USHORT* process, USHORT* native) {
    *process = IMAGE_FILE_MACHINE_I386;
    *native = 0xAA64;
    return TRUE;
}

// Emulated on ARM64: the core clocks' row says, in place of any value, that
// there is none to measure, and so does the processor's line; the time-stamp
// figures stay, and the copy has no core clocks.
TEST_F(MainDialogTest, ShowsNoCoreClockUnderEmulation) {
    MeasurePlatformGuard platform;
    processorPlatform().IsWow64Process2 = OnArm64;
    OpenedWithFakes opened;
    const std::string line = controlText(opened.window, 1009);
    EXPECT_EQ(0u, line.find(std::string(ProcessorName()) + "\n")) << line;
    EXPECT_NE(std::string::npos, line.find("Emulated (ARM64): MHZ is the emulated counter's rate")) << line;
    EXPECT_EQ("Emuliert (ARM64): nicht messbar /\nEmulated (ARM64): not measurable", controlText(opened.window, 1005));
    EXPECT_EQ(tableText(), controlText(opened.window, 1002));
    EXPECT_EQ(std::vector<std::string>(), LayoutFaults(opened.window));
    const std::vector<std::string> lines = opened.copiedLines();
    const size_t head = linesBeforeValues(opened.dialog.shownResults());
    ASSERT_EQ(head + 13, lines.size()) << "header, processor, the note in two languages, clocks, twelve processors";
    EXPECT_EQ("", std::string(opened.dialog.shownResults().verdict)) << "no verdict under emulation";
    EXPECT_EQ("1\t2400.0001\r", lines[head]);
}

}  // namespace
