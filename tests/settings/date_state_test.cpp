// A date control that shows "no date" is stored as an all-zero record and
// restores as "no date".
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

#include "control_test_support.h"
#include "set_value_recorder.h"

namespace {

const int DateId = 1000;
const char* const DateName = "33220";

SYSTEMTIME makeDate(WORD year, WORD month, WORD day)
{
    SYSTEMTIME time = {};
    time.wYear = year;
    time.wMonth = month;
    time.wDay = day;
    return time;
}

void setDate(HWND control, const SYSTEMTIME& time)
{
    ASSERT_TRUE(SendMessageA(control, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time)));
}

void setNoDate(HWND control)
{
    SYSTEMTIME ignored = {};
    ASSERT_TRUE(SendMessageA(control, DTM_SETSYSTEMTIME, GDT_NONE, reinterpret_cast<LPARAM>(&ignored)));
}

LRESULT dateState(HWND control, SYSTEMTIME& time)
{
    return SendMessageA(control, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time));
}

TEST(DateState, NoDateIsStoredAsAnAllZeroRecord)
{
    TestRegistryKey key;
    TestDialog dialog;
    HWND date = dialog.add(DATETIMEPICK_CLASSA, "", DTS_SHOWNONE, DateId);
    setNoDate(date);
    SYSTEMTIME unused;
    ASSERT_EQ(GDT_NONE, dateState(date, unused));

    SetValueRecorder recorder;
    SaveControls(dialog.window(), key.path());

    const SetValueRecorder::Call* call = recorder.find(DateName);
    ASSERT_NE(nullptr, call);
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), call->type);
    EXPECT_EQ(std::string(sizeof(SYSTEMTIME), '\0'), call->data);
    EXPECT_EQ(std::string(sizeof(SYSTEMTIME), '\0'), key.read(DateName).data);
}

// Each stored state is restored onto a control holding the other one.
TEST(DateState, DateAndNoDateRestoreOntoAControlShowingNone)
{
    const SYSTEMTIME someDate = makeDate(2023, 7, 14);
    const SYSTEMTIME otherDate = makeDate(2001, 3, 9);
    for (bool storedNoDate : {true, false}) {
        const char* label = storedNoDate ? "stored no date" : "stored a date";
        TestRegistryKey key;
        {
            TestDialog first;
            HWND date = first.add(DATETIMEPICK_CLASSA, "", DTS_SHOWNONE, DateId);
            if (storedNoDate)
                setNoDate(date);
            else
                setDate(date, someDate);
            SaveControls(first.window(), key.path());
        }
        TestDialog second;
        HWND date = second.add(DATETIMEPICK_CLASSA, "", DTS_SHOWNONE, DateId);
        if (storedNoDate)
            setDate(date, otherDate);
        else
            setNoDate(date);

        RestoreControls(second.window(), key.path());

        SYSTEMTIME time = {};
        if (storedNoDate) {
            EXPECT_EQ(GDT_NONE, dateState(date, time)) << label;
        } else {
            ASSERT_EQ(GDT_VALID, dateState(date, time)) << label;
            EXPECT_EQ(2023, time.wYear) << label;
            EXPECT_EQ(7, time.wMonth) << label;
            EXPECT_EQ(14, time.wDay) << label;
        }
    }
}

// A control that cannot show "no date" keeps its date.
TEST(DateState, NoDateLeavesAControlWithoutNoneAlone)
{
    TestRegistryKey key;
    key.write(DateName, REG_BINARY, std::string(sizeof(SYSTEMTIME), '\0'));
    TestDialog dialog;
    HWND date = dialog.add(DATETIMEPICK_CLASSA, "", 0, DateId);
    setDate(date, makeDate(2022, 12, 24));

    RestoreControls(dialog.window(), key.path());

    SYSTEMTIME time = {};
    ASSERT_EQ(GDT_VALID, dateState(date, time));
    EXPECT_EQ(2022, time.wYear);
    EXPECT_EQ(12, time.wMonth);
    EXPECT_EQ(24, time.wDay);
}

}  // namespace
