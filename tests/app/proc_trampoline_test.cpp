#include "app/proc_trampoline.h"

#include <gtest/gtest.h>

#include <windows.h>

#include "app/window_binding.h"
#include "support/platform_guard.h"

namespace {

struct Call {
    void* first;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
Call lastCall;

LRESULT CALLBACK probeProc(void* first, UINT message, WPARAM wParam, LPARAM lParam)
{
    lastCall = {first, message, wParam, lParam};
    return 0x77;
}

LRESULT CALLBACK otherProc(void* first, UINT message, WPARAM wParam, LPARAM lParam)
{
    lastCall = {first, message, wParam, lParam};
    return 0x88;
}

TEST(ProcTrampoline, StubCallsTheProcedureWithTheObjectFirst)
{
    int object = 0;
    int otherObject = 0;
    ProcTrampoline stub;
    EXPECT_EQ(stub.entry(), nullptr);
    ASSERT_TRUE(stub.write(&object, reinterpret_cast<void*>(probeProc)));

    WNDPROC entry = reinterpret_cast<WNDPROC>(stub.entry());
    const WPARAM wParam = static_cast<WPARAM>(-2);
    const LPARAM lParam = static_cast<LPARAM>(-3);
    EXPECT_EQ(entry(reinterpret_cast<HWND>(0x1110), 0x4321, wParam, lParam), 0x77);
    EXPECT_EQ(lastCall.first, &object);
    EXPECT_EQ(lastCall.message, 0x4321u);
    EXPECT_EQ(lastCall.wParam, wParam);
    EXPECT_EQ(lastCall.lParam, lParam);

    // Written again for another object and procedure, in the same storage.
    void* before = stub.entry();
    ASSERT_TRUE(stub.write(&otherObject, reinterpret_cast<void*>(otherProc)));
    EXPECT_EQ(stub.entry(), before);
    EXPECT_EQ(entry(nullptr, 1, 2, 3), 0x88);
    EXPECT_EQ(lastCall.first, &otherObject);
}

TEST(ProcTrampoline, StorageIsExecutableReadOnlyAndReleased)
{
    ProcTrampoline stub;
    int object = 0;
    ASSERT_TRUE(stub.write(&object, reinterpret_cast<void*>(probeProc)));
    const char* code = static_cast<const char*>(stub.entry());
    const char* self = reinterpret_cast<const char*>(&stub);
    EXPECT_FALSE(code >= self && code < self + sizeof(stub)) << "the stub lies in the object";

    MEMORY_BASIC_INFORMATION info = {};
    ASSERT_NE(VirtualQuery(code, &info, sizeof(info)), 0u);
    EXPECT_EQ(info.State, static_cast<DWORD>(MEM_COMMIT));
    EXPECT_EQ(info.Protect, static_cast<DWORD>(PAGE_EXECUTE_READ));

    // Writing the same bytes again leaves the live stub untouched.
    ASSERT_TRUE(stub.write(&object, reinterpret_cast<void*>(probeProc)));
    ASSERT_NE(VirtualQuery(code, &info, sizeof(info)), 0u);
    EXPECT_EQ(info.Protect, static_cast<DWORD>(PAGE_EXECUTE_READ));

    stub.release();
    EXPECT_EQ(stub.entry(), nullptr);
    ASSERT_NE(VirtualQuery(code, &info, sizeof(info)), 0u);
    EXPECT_EQ(info.State, static_cast<DWORD>(MEM_FREE));
}

// Counts the storage blocks the stubs take and give back.
int blocksTaken = 0;
int blocksGiven = 0;
AppPlatform real;

LPVOID WINAPI countingAlloc(LPVOID address, SIZE_T size, DWORD type, DWORD protect)
{
    LPVOID block = real.VirtualAlloc(address, size, type, protect);
    if (block != nullptr)
        ++blocksTaken;
    return block;
}

BOOL WINAPI countingFree(LPVOID address, SIZE_T size, DWORD type)
{
    const BOOL freed = real.VirtualFree(address, size, type);
    if (freed)
        ++blocksGiven;
    return freed;
}

LPVOID WINAPI failingAlloc(LPVOID, SIZE_T, DWORD, DWORD)
{
    return nullptr;
}

class Subclass : public SubclassBinding {
public:
    BOOL handleMessage(HWND, UINT, WPARAM, LPARAM, LRESULT&, DWORD) override { return 0; }
};

TEST(ProcTrampoline, TenThousandBindingsLeaveNoStorageBehind)
{
    AppPlatformGuard guard;
    appPlatform().VirtualAlloc = countingAlloc;
    appPlatform().VirtualFree = countingFree;
    blocksTaken = 0;
    blocksGiven = 0;

    HWND window = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    const LONG_PTR original = GetWindowLongPtrA(window, GWLP_WNDPROC);
    int attached = 0;
    int restored = 0;
    for (int n = 0; n < 10000; ++n) {
        {
            Subclass binding;
            if (binding.attachToWindow(window)) {
                ++attached;
                SendMessageA(window, WM_NULL, 0, 0);
            }
        }
        // The binding put the window's own procedure back as it went.
        restored += GetWindowLongPtrA(window, GWLP_WNDPROC) == original;
    }
    DestroyWindow(window);

    EXPECT_EQ(attached, 10000);
    EXPECT_EQ(restored, 10000);
    EXPECT_EQ(blocksTaken, 10000);
    EXPECT_EQ(blocksGiven, blocksTaken);
}

TEST(ProcTrampoline, BindingWithoutStorageDoesNotAttach)
{
    AppPlatformGuard guard;
    appPlatform().VirtualAlloc = failingAlloc;
    HWND window = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    const LONG_PTR original = GetWindowLongPtrA(window, GWLP_WNDPROC);
    {
        Subclass binding;
        EXPECT_EQ(binding.attachToWindow(window), 0);
        EXPECT_EQ(binding.window(), nullptr);
        EXPECT_EQ(GetWindowLongPtrA(window, GWLP_WNDPROC), original);
    }
    DestroyWindow(window);
}

}  // namespace
