#include "app/common_controls.h"

#include <gtest/gtest.h>

namespace {

// The test program exports nothing, so its own module stands for common controls (or a
// user32) that lack the entry looked for: those of Windows 95 and NT 4.0 as first shipped.
HMODULE ModuleWithoutTheEntry()
{
    return GetModuleHandleA(nullptr);
}

void* Entry(HMODULE module, const char* name)
{
    return reinterpret_cast<void*>(GetProcAddress(module, name));
}

TEST(CommonControlsTest, ClassesAreRegisteredTheExtendedWayWhereItExists)
{
    HMODULE commonControls = GetModuleHandleA("COMCTL32.DLL");
    ASSERT_NE(nullptr, commonControls) << "imported, so loaded";
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_BAR_CLASSES};
    EXPECT_TRUE(InitCommonControlsWherePresent(commonControls, &classes));
    EXPECT_FALSE(InitCommonControlsWherePresent(ModuleWithoutTheEntry(), &classes))
        << "older common controls: InitCommonControls instead";
    EXPECT_FALSE(InitCommonControlsWherePresent(nullptr, &classes)) << "no module at all";
}

TEST(CommonControlsTest, LeaveTrackingComesFromTheCommonControlsElseFromUser32ElseNowhere)
{
    HMODULE commonControls = GetModuleHandleA("COMCTL32.DLL");
    HMODULE user = GetModuleHandleA("USER32.DLL");
    HMODULE lacking = ModuleWithoutTheEntry();
    struct Case {
        const char* system;
        HMODULE commonControls;
        HMODULE user;
        void* expected;
    };
    const Case cases[] = {
        {"common controls 4.70 or later", commonControls, user, Entry(commonControls, "_TrackMouseEvent")},
        {"older common controls on 98 or NT 4.0", lacking, user, Entry(user, "TrackMouseEvent")},
        {"older common controls on 95", lacking, lacking, nullptr},
    };
    ASSERT_NE(nullptr, cases[0].expected);
    ASSERT_NE(nullptr, cases[1].expected);
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, reinterpret_cast<void*>(FindTrackMouseEvent(c.commonControls, c.user))) << c.system;
}

} // namespace
