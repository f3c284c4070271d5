#include "app/window_binding.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <memory>

namespace {

const UINT AnsweredByTarget = WM_USER + 3;
const UINT AnsweredByBinding = WM_USER + 4;

bool replaceOnNcDestroy = false;
int targetNcDestroys = 0;

LRESULT CALLBACK replacementProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

// The procedure of the windows being subclassed. On request it replaces the
// window procedure while it handles WM_NCDESTROY.
LRESULT CALLBACK targetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == AnsweredByTarget)
        return 333;
    if (message == WM_NCDESTROY) {
        ++targetNcDestroys;
        if (replaceOnNcDestroy)
            SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(replacementProc));
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

const char* targetClass()
{
    static ATOM atom = 0;
    if (atom == 0) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = targetProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "ZykSubclassTarget";
        atom = RegisterClassA(&wc);
    }
    return "ZykSubclassTarget";
}

HWND createTarget()
{
    return CreateWindowA(targetClass(), "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

class ProbeSubclass : public SubclassBinding {
public:
    BOOL handleMessage(HWND, UINT message, WPARAM, LPARAM, LRESULT& result, DWORD tableId) override
    {
        if (tableId != 0)
            return 0;
        if (message == AnsweredByBinding) {
            seenRecord = *currentMessage();
            result = 444;
            return 1;
        }
        return 0;
    }

    void windowReleased(HWND old) override
    {
        ++releases;
        releasedHandle = old;
        handleAtRelease = window();
        procedureAtRelease = GetWindowLongPtrA(old, GWLP_WNDPROC);
    }

    MSG seenRecord = {};
    int releases = 0;
    HWND releasedHandle = nullptr;
    HWND handleAtRelease = reinterpret_cast<HWND>(-1);
    LONG_PTR procedureAtRelease = 0;
};

TEST(SubclassBinding, BoundWindowPassesWhatItDoesNotHandleToThePreviousProcedure)
{
    HWND window = createTarget();
    ASSERT_NE(window, nullptr);
    const LONG_PTR original = GetWindowLongPtrA(window, GWLP_WNDPROC);

    ProbeSubclass binding;
    EXPECT_EQ(binding.previousProcedure(), DefWindowProcA) << "before attaching";
    ASSERT_EQ(binding.attachToWindow(window), 1);
    EXPECT_EQ(binding.window(), window);
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(binding.previousProcedure()), original);
    EXPECT_EQ(GetWindowLongPtrA(window, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(binding.stubAddress()));

    EXPECT_EQ(SendMessageA(window, AnsweredByTarget, 0, 0), 333) << "passed on";
    EXPECT_EQ(SendMessageA(window, AnsweredByBinding, 5, 6), 444) << "handled";
    EXPECT_EQ(binding.seenRecord.hwnd, window);
    EXPECT_EQ(binding.seenRecord.wParam, 5u);
    EXPECT_EQ(binding.seenRecord.lParam, 6);
    EXPECT_EQ(binding.currentMessage(), nullptr);
    DestroyWindow(window);
}

TEST(SubclassBinding, PreviousProcedureIsPutBackOnlyWhenNobodyReplacedIt)
{
    struct Case {
        const char* name;
        bool replaced;
    };
    const Case cases[] = {{"left alone during WM_NCDESTROY", false},
                          {"replaced during WM_NCDESTROY", true}};
    for (const Case& c : cases) {
        HWND window = createTarget();
        ASSERT_NE(window, nullptr) << c.name;
        ProbeSubclass binding;
        ASSERT_EQ(binding.attachToWindow(window), 1) << c.name;
        const LONG_PTR previous = reinterpret_cast<LONG_PTR>(binding.previousProcedure());

        replaceOnNcDestroy = c.replaced;
        targetNcDestroys = 0;
        DestroyWindow(window);
        replaceOnNcDestroy = false;

        EXPECT_EQ(targetNcDestroys, 1) << c.name;
        EXPECT_EQ(binding.releases, 1) << c.name;
        EXPECT_EQ(binding.releasedHandle, window) << c.name;
        EXPECT_EQ(binding.handleAtRelease, nullptr) << c.name;
        EXPECT_EQ(binding.window(), nullptr) << c.name;
        const LONG_PTR expected = c.replaced ? reinterpret_cast<LONG_PTR>(replacementProc) : previous;
        EXPECT_EQ(binding.procedureAtRelease, expected) << c.name;
    }
}

TEST(SubclassBinding, DestroyedWhileAttachedItPutsThePreviousProcedureBackFirst)
{
    struct Case {
        const char* name;
        bool replaced;  // other code has put its own procedure over the stub
    };
    const Case cases[] = {{"still the window's procedure", false}, {"replaced by other code", true}};
    for (const Case& c : cases) {
        HWND window = createTarget();
        ASSERT_NE(window, nullptr) << c.name;
        const LONG_PTR original = GetWindowLongPtrA(window, GWLP_WNDPROC);
        std::unique_ptr<ProbeSubclass> binding(new ProbeSubclass);
        ASSERT_EQ(binding->attachToWindow(window), 1) << c.name;
        if (c.replaced) {
            SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(replacementProc));
            EXPECT_NONFATAL_FAILURE(binding.reset(), "another procedure has replaced its stub");
        } else {
            binding.reset();
        }

        const LONG_PTR expected = c.replaced ? reinterpret_cast<LONG_PTR>(replacementProc) : original;
        EXPECT_EQ(GetWindowLongPtrA(window, GWLP_WNDPROC), expected) << c.name;
        EXPECT_EQ(SendMessageA(window, AnsweredByTarget, 0, 0), c.replaced ? 0 : 333) << c.name;
        targetNcDestroys = 0;
        EXPECT_TRUE(DestroyWindow(window)) << c.name;
        EXPECT_EQ(targetNcDestroys, c.replaced ? 0 : 1) << c.name;
    }
}

TEST(SubclassBinding, AttachingToNoWindowFailsAndChangesNothing)
{
    HWND gone = createTarget();
    ASSERT_NE(gone, nullptr);
    DestroyWindow(gone);

    const HWND invalid[] = {nullptr, gone};
    for (HWND window : invalid) {
        ProbeSubclass binding;
        EXPECT_EQ(binding.attachToWindow(window), 0) << "window " << window;
        EXPECT_EQ(binding.window(), nullptr) << "window " << window;
        EXPECT_EQ(binding.previousProcedure(), DefWindowProcA) << "window " << window;
    }
}

}  // namespace
