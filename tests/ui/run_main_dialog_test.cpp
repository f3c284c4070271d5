// The run step as start-up calls it: the real dialog on this thread with a
// pump of its own, ended from a timer the way a user would end it.
#include <gtest/gtest.h>
#include <windows.h>

#include "app/app_module.h"
#include "app/run_main_dialog.h"
#include "support/module_scope.h"
#include "support/platform_guard.h"

namespace {

HWND mainDialogOfThisThread() {
    HWND found = FindWindowA("#32770", "Zyklomatrix 1.01 (Freeware)");
    if (found == nullptr || GetWindowThreadProcessId(found, nullptr) != GetCurrentThreadId())
        return nullptr;
    return found;
}

bool sawVisibleDialog;

VOID CALLBACK pressEscape(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    HWND dialog = mainDialogOfThisThread();
    sawVisibleDialog = dialog != nullptr && IsWindowVisible(dialog);
    PostMessageA(GetDlgItem(dialog, 1), WM_KEYDOWN, VK_ESCAPE, 1);
}

VOID CALLBACK clickCloseBox(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    HWND dialog = mainDialogOfThisThread();
    sawVisibleDialog = dialog != nullptr && IsWindowVisible(dialog);
    PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void* failingRealloc(void*, size_t) {
    return nullptr;
}

// The thread's timers fire only from a message loop, here the run step's
// pump, which starts once the dialog is open and shown: the earliest timer
// the platform allows presses the key then.
TEST(RunMainDialog, ShowsTheDialogAndReturnsTheQuitStatus) {
    ModuleScope module;
    ASSERT_TRUE(module.started());
    sawVisibleDialog = false;
    SetTimer(nullptr, 0, USER_TIMER_MINIMUM, pressEscape);
    EXPECT_EQ(2, runMainDialog("ignored tail", SW_SHOWNOACTIVATE));
    EXPECT_TRUE(sawVisibleDialog);
    EXPECT_EQ(nullptr, mainDialogOfThisThread()) << "the dialog is gone";
    appModule.enterModuleLock();
    EXPECT_EQ(nullptr, appModule.pumpForThread(GetCurrentThreadId())) << "the pump is unregistered";
    appModule.leaveModuleLock();
}

TEST(RunMainDialog, RunsWithoutAPumpEntryWhenRegistrationFails) {
    ModuleScope module;
    ASSERT_TRUE(module.started());
    int status;
    {
        AppPlatformGuard guard;
        appPlatform().realloc = failingRealloc;
        sawVisibleDialog = false;
        SetTimer(nullptr, 0, USER_TIMER_MINIMUM, clickCloseBox);
        status = runMainDialog("", SW_SHOWNOACTIVATE);
    }
    EXPECT_EQ(2, status);
    EXPECT_TRUE(sawVisibleDialog);
}

TEST(RunMainDialog, ReturnsZeroWhenTheDialogCannotBeCreated) {
    // A module without the dialog's template.
    ModuleScope module(GetModuleHandleA("kernel32.dll"));
    ASSERT_TRUE(module.started());
    EXPECT_EQ(0, runMainDialog("", SW_SHOW));
    EXPECT_EQ(nullptr, mainDialogOfThisThread());
}

}  // namespace
