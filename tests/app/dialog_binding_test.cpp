#include "app/window_binding.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "app/app_module.h"
#include "support/dialog_template.h"
#include "support/platform_guard.h"

namespace {

struct Seen {
    UINT message;
    HWND argument;  // the window handleMessage was given
    HWND bound;     // the object's window handle at that moment
    LPARAM lParam;
};

// Records what reaches its handler and answers the messages it is told to.
class ProbeDialog : public DialogBinding {
public:
    explicit ProbeDialog(const DLGTEMPLATE* memoryTemplate) : DialogBinding(memoryTemplate) {}
    explicit ProbeDialog(WORD templateId) : DialogBinding(templateId) {}

    BOOL handleMessage(HWND window, UINT message, WPARAM, LPARAM lParam, LRESULT& result,
                       DWORD tableId) override
    {
        if (tableId != 0)
            return 0;
        seen.push_back({message, window, this->window(), lParam});
        if (onMessage)
            onMessage(message);
        auto answer = answers.find(message);
        if (answer == answers.end())
            return 0;
        result = answer->second;
        return 1;
    }

    void windowReleased(HWND old) override
    {
        ++releases;
        releasedHandle = old;
        handleAtRelease = window();
    }

    // Whether every message reached the handler with the dialog's own handle,
    // already stored in the object.
    bool allBoundTo(HWND expected) const
    {
        for (const Seen& s : seen) {
            if (s.argument != expected || s.bound != expected)
                return false;
        }
        return !seen.empty();
    }

    std::vector<Seen> seen;
    std::map<UINT, LRESULT> answers;
    std::function<void(UINT)> onMessage;
    int releases = 0;
    HWND releasedHandle = nullptr;
    HWND handleAtRelease = reinterpret_cast<HWND>(-1);
};

// A hidden pop-up with a caption and no controls.
const DialogTemplate& plainTemplate()
{
    static const DialogTemplate dialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 120, 60,
                                       "Probe");
    return dialog;
}

LPVOID WINAPI noStorage(LPVOID, SIZE_T, DWORD, DWORD)
{
    return nullptr;
}

class DialogBindingTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        EXPECT_EQ(appModule.pendingCreations(), nullptr) << "a creation record was left behind";
    }
};

TEST_F(DialogBindingTest, ModelessDialogIsBoundFromItsFirstMessage)
{
    ProbeDialog dialog(plainTemplate().get());
    HWND window = dialog.createModeless(nullptr, 0x5A);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(dialog.window(), window);
    EXPECT_TRUE(dialog.allBoundTo(window)) << "first message " << dialog.seen.at(0).message;
    EXPECT_EQ(GetWindowLongPtrA(window, DWLP_DLGPROC), reinterpret_cast<LONG_PTR>(dialog.stubAddress()));

    bool sawInit = false;
    for (const Seen& s : dialog.seen) {
        if (s.message == WM_INITDIALOG) {
            sawInit = true;
            EXPECT_EQ(s.lParam, 0x5A) << "the creation parameter";
        }
    }
    EXPECT_TRUE(sawInit);

    // Unhandled WM_NCDESTROY: the handle is cleared before windowReleased runs.
    ASSERT_TRUE(DestroyWindow(window));
    EXPECT_EQ(dialog.releases, 1);
    EXPECT_EQ(dialog.releasedHandle, window);
    EXPECT_EQ(dialog.handleAtRelease, nullptr);
    EXPECT_EQ(dialog.window(), nullptr);
}

TEST_F(DialogBindingTest, ModalDialogIsBoundFromItsFirstMessageAndReturnsItsEndCode)
{
    ProbeDialog dialog(plainTemplate().get());
    dialog.onMessage = [&dialog](UINT message) {
        if (message == WM_INITDIALOG)
            EndDialog(dialog.window(), 7);
    };
    EXPECT_EQ(dialog.runModal(nullptr, 0x77), 7);
    ASSERT_FALSE(dialog.seen.empty());
    HWND window = dialog.seen.front().argument;
    EXPECT_NE(window, nullptr);
    EXPECT_TRUE(dialog.allBoundTo(window));
    EXPECT_EQ(dialog.seen.front().bound, window) << "handle set at the first message";
    EXPECT_EQ(dialog.releases, 1);
    EXPECT_EQ(dialog.window(), nullptr);
}

TEST_F(DialogBindingTest, HandledResultsFollowTheDialogManagersRule)
{
    struct Case {
        UINT message;
        bool direct;  // the result is the dialog procedure's return value
    };
    const Case cases[] = {
        {WM_VKEYTOITEM, true},       {WM_CHARTOITEM, true},      {WM_QUERYDRAGICON, true},
        {WM_COMPAREITEM, true},      {WM_INITDIALOG, true},      {WM_CTLCOLORMSGBOX, true},
        {WM_CTLCOLOREDIT, true},     {WM_CTLCOLORLISTBOX, true}, {WM_CTLCOLORBTN, true},
        {WM_CTLCOLORDLG, true},      {WM_CTLCOLORSCROLLBAR, true}, {WM_CTLCOLORSTATIC, true},
        {0x0131, false},             {0x0139, false},            {WM_COMMAND, false},
        {WM_DELETEITEM, false},      {WM_NOTIFY, false},         {WM_USER + 1, false},
    };
    ProbeDialog dialog(plainTemplate().get());
    for (const Case& c : cases)
        dialog.answers[c.message] = 0x1200 + static_cast<LRESULT>(c.message);
    HWND window = dialog.createModeless(nullptr, 0);
    ASSERT_NE(window, nullptr);
    DLGPROC procedure = reinterpret_cast<DLGPROC>(GetWindowLongPtrA(window, DWLP_DLGPROC));

    const LONG_PTR sentinel = 0xDEAD;
    for (const Case& c : cases) {
        const LRESULT answer = 0x1200 + static_cast<LRESULT>(c.message);
        SetWindowLongPtrA(window, DWLP_MSGRESULT, sentinel);
        const INT_PTR returned = procedure(window, c.message, 0, 0);
        const LONG_PTR stored = GetWindowLongPtrA(window, DWLP_MSGRESULT);
        EXPECT_EQ(returned, c.direct ? answer : 1) << "message 0x" << std::hex << c.message;
        EXPECT_EQ(stored, c.direct ? sentinel : answer) << "message 0x" << std::hex << c.message;
    }

    // Unhandled: 0, and the stored result is left alone.
    SetWindowLongPtrA(window, DWLP_MSGRESULT, sentinel);
    EXPECT_EQ(procedure(window, WM_USER + 2, 0, 0), 0);
    EXPECT_EQ(GetWindowLongPtrA(window, DWLP_MSGRESULT), sentinel);

    // Through the platform both kinds arrive as the handler's result.
    EXPECT_EQ(SendMessageA(window, WM_COMMAND, 0, 0), 0x1200 + WM_COMMAND);
    EXPECT_EQ(SendMessageA(window, WM_CTLCOLORSTATIC, 0, 0), 0x1200 + WM_CTLCOLORSTATIC);
    DestroyWindow(window);
}

TEST_F(DialogBindingTest, HandledNcDestroyKeepsTheHandleAndReleasesNothing)
{
    ProbeDialog dialog(plainTemplate().get());
    dialog.answers[WM_NCDESTROY] = 0;
    HWND window = dialog.createModeless(nullptr, 0);
    ASSERT_NE(window, nullptr);
    DestroyWindow(window);
    EXPECT_EQ(dialog.seen.back().message, static_cast<UINT>(WM_NCDESTROY));
    EXPECT_EQ(dialog.releases, 0);
    EXPECT_EQ(dialog.window(), window);
}

TEST_F(DialogBindingTest, DestroyedWhileItsWindowLivesItIsReportedAndLeavesTheWindowToTheDefaults)
{
    std::unique_ptr<ProbeDialog> dialog(new ProbeDialog(plainTemplate().get()));
    HWND window = dialog->createModeless(nullptr, 0);
    ASSERT_NE(window, nullptr);
    EXPECT_NONFATAL_FAILURE(dialog.reset(),
                            "a dialog binding was destroyed while its dialog window still exists");
    ASSERT_TRUE(IsWindow(window)) << "the binding destroys no window";
    EXPECT_EQ(GetWindowLongPtrA(window, DWLP_DLGPROC), 0) << "nothing left to call the freed stub";
    EXPECT_EQ(SendMessageA(window, WM_COMMAND, IDOK, 0), 0) << "default processing";
    EXPECT_TRUE(DestroyWindow(window));
}

TEST_F(DialogBindingTest, NestedDispatchSeesItsOwnCurrentMessage)
{
    ProbeDialog dialog(plainTemplate().get());
    std::vector<MSG> records;
    dialog.answers[WM_USER + 1] = 1;
    dialog.answers[WM_USER + 2] = 2;
    dialog.onMessage = [&](UINT message) {
        if (message == WM_USER + 1) {
            records.push_back(*dialog.currentMessage());
            SendMessageA(dialog.window(), WM_USER + 2, 22, 222);
            records.push_back(*dialog.currentMessage());
        } else if (message == WM_USER + 2) {
            records.push_back(*dialog.currentMessage());
        }
    };
    HWND window = dialog.createModeless(nullptr, 0);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(dialog.currentMessage(), nullptr) << "between messages";
    SendMessageA(window, WM_USER + 1, 11, 111);
    EXPECT_EQ(dialog.currentMessage(), nullptr) << "after the nested dispatch";

    struct Expected {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    const Expected expected[] = {
        {WM_USER + 1, 11, 111}, {WM_USER + 2, 22, 222}, {WM_USER + 1, 11, 111}};
    ASSERT_EQ(records.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(records[i].hwnd, window) << "record " << i;
        EXPECT_EQ(records[i].message, expected[i].message) << "record " << i;
        EXPECT_EQ(records[i].wParam, expected[i].wParam) << "record " << i;
        EXPECT_EQ(records[i].lParam, expected[i].lParam) << "record " << i;
        EXPECT_EQ(records[i].time, 0u) << "record " << i;
        EXPECT_EQ(records[i].pt.x, 0) << "record " << i;
        EXPECT_EQ(records[i].pt.y, 0) << "record " << i;
    }
    DestroyWindow(window);
}

TEST_F(DialogBindingTest, FailedCreationLeavesNoPendingRecord)
{
    // No such template in the program's resources: fails before any message.
    ProbeDialog missing(WORD(4242));
    EXPECT_EQ(missing.createModeless(nullptr, 0), nullptr);
    EXPECT_EQ(appModule.pendingCreations(), nullptr) << "modeless, missing template";
    EXPECT_EQ(missing.runModal(nullptr, 0), -1);
    EXPECT_EQ(appModule.pendingCreations(), nullptr) << "modal, missing template";
    EXPECT_EQ(missing.window(), nullptr);

    // No executable storage for the stub: nothing is created or left pending.
    {
        AppPlatformGuard guard;
        appPlatform().VirtualAlloc = noStorage;
        ProbeDialog starved(plainTemplate().get());
        EXPECT_EQ(starved.createModeless(nullptr, 0), nullptr);
        EXPECT_EQ(starved.runModal(nullptr, 0), -1);
        EXPECT_TRUE(starved.seen.empty());
        EXPECT_EQ(appModule.pendingCreations(), nullptr) << "no storage for the stub";
    }

    // A control of an unknown class: the dialog fails while it is being built.
    DialogTemplate broken(WS_POPUP | WS_CAPTION, 120, 60, "Probe");
    broken.control("NoSuchWindowClass", "", 0, 100, 5, 5, 50, 14);
    ProbeDialog dialog(broken.get());
    EXPECT_EQ(dialog.createModeless(nullptr, 0), nullptr);
    EXPECT_EQ(appModule.pendingCreations(), nullptr) << "modeless, broken template";
    EXPECT_EQ(dialog.window(), nullptr);
}

TEST_F(DialogBindingTest, BootstrapWithoutAPendingRecordLeavesTheDialogToTheDefaults)
{
    HWND window = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), plainTemplate().get(), nullptr,
                                             DialogBinding::bootstrapDialogProc, 0);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(SendMessageA(window, WM_COMMAND, 0, 0), 0);
    EXPECT_TRUE(DestroyWindow(window));
}

TEST_F(DialogBindingTest, DialogCreatedWhileAnotherOpensBindsItsOwnObject)
{
    ProbeDialog outer(plainTemplate().get());
    ProbeDialog inner(plainTemplate().get());
    HWND innerWindow = nullptr;
    outer.onMessage = [&](UINT message) {
        if (message == WM_INITDIALOG)
            innerWindow = inner.createModeless(outer.window(), 0);
    };
    HWND outerWindow = outer.createModeless(nullptr, 0);
    ASSERT_NE(outerWindow, nullptr);
    ASSERT_NE(innerWindow, nullptr);
    EXPECT_NE(innerWindow, outerWindow);
    EXPECT_TRUE(outer.allBoundTo(outerWindow));
    EXPECT_TRUE(inner.allBoundTo(innerWindow));
    DestroyWindow(outerWindow);  // destroys its owned dialog first
    EXPECT_EQ(inner.releases, 1);
    EXPECT_EQ(outer.releases, 1);
}

// A thread routine that runs a callable object handed over as its parameter.
template <typename Work>
DWORD WINAPI RunWork(LPVOID work)
{
    (*static_cast<Work*>(work))();
    return 0;
}

TEST_F(DialogBindingTest, ThreadsCreatingDialogsAtOnceEachBindTheirOwn)
{
    const int threads = 4;
    const int dialogsEach = 25;
    std::atomic<int> wrong(0);
    std::atomic<int> created(0);

    // The threads start creating together, once all of them exist.
    HANDLE gate = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(gate, nullptr);
    std::atomic<int> gateClosed(0);
    auto work = [&]() {
        if (WaitForSingleObject(gate, 60000) != WAIT_OBJECT_0) {
            ++gateClosed;
            return;
        }
        for (int n = 0; n < dialogsEach; ++n) {
            ProbeDialog dialog(plainTemplate().get());
            HWND window = dialog.createModeless(nullptr, 0);
            if (window == nullptr)
                continue;
            ++created;
            if (dialog.window() != window || !dialog.allBoundTo(window))
                ++wrong;
            DestroyWindow(window);
            if (dialog.releases != 1)
                ++wrong;
        }
    };
    HANDLE workers[threads];
    for (HANDLE& worker : workers)
        worker = CreateThread(nullptr, 0, RunWork<decltype(work)>, &work, 0, nullptr);
    SetEvent(gate);
    for (HANDLE worker : workers) {
        if (worker != nullptr) {
            WaitForSingleObject(worker, INFINITE);
            CloseHandle(worker);
        }
    }
    CloseHandle(gate);
    EXPECT_EQ(gateClosed.load(), 0) << "threads that gave up waiting for the others";

    EXPECT_EQ(created.load(), threads * dialogsEach);
    EXPECT_EQ(wrong.load(), 0);
}

}  // namespace
