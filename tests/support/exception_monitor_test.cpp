// The monitor that every test program runs under, checked against faults
// planted where the platform would swallow them.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <stdexcept>
#include <string>

#include "exception_monitor.h"
#include "measure/fault_guard.h"

namespace {

// A page that held a return instruction and has been freed again: calling it
// is the fault a window procedure meets when its stub has been released.
void* freedPage;

void callFreedPage(void*)
{
    reinterpret_cast<void (*)()>(freedPage)();
}

LRESULT CALLBACK faultingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY)
        callFreedPage(nullptr);
    return DefWindowProcA(window, message, wParam, lParam);
}

// Windows whose procedure makes the planted fault when they are destroyed,
// as a window whose binding went first does.
class PlantedFault {
public:
    PlantedFault()
    {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = faultingProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "ZykFaultingWindow";
        RegisterClassA(&windowClass);
        void* page = VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE);
        if (page != nullptr) {
            *static_cast<unsigned char*>(page) = 0xC3;
            VirtualFree(page, 0, MEM_RELEASE);
        }
        freedPage = page;
    }

    bool ready() const { return freedPage != nullptr; }

    // The platform sends WM_DESTROY from inside DestroyWindow and ignores
    // the exception that escapes the procedure: the window goes and the call
    // returns as if nothing had happened. Returns whether it did.
    bool inADestroyedWindow() const
    {
        HWND window = CreateWindowA("ZykFaultingWindow", "", WS_POPUP, 0, 0, 10, 10, nullptr,
                                    nullptr, GetModuleHandleA(nullptr), nullptr);
        return window != nullptr && DestroyWindow(window) && !IsWindow(window);
    }
};

TEST(ExceptionMonitor, AFaultInAWindowProcedureFailsTheRunningTestNamingItsCodeAndAddress)
{
    PlantedFault fault;
    ASSERT_TRUE(fault.ready());
    ASSERT_TRUE(fault.inADestroyedWindow());
    long noted = 0;
    const std::vector<SeenException> seen = takeSeenExceptions(&noted);
    ASSERT_EQ(1, noted);
    EXPECT_EQ(static_cast<DWORD>(STATUS_ACCESS_VIOLATION), seen[0].code);
    EXPECT_EQ(freedPage, seen[0].address);
    EXPECT_EQ(GetCurrentThreadId(), seen[0].threadId);
    ASSERT_EQ(2u, seen[0].parameterCount);
    EXPECT_EQ(reinterpret_cast<ULONG_PTR>(freedPage), seen[0].parameters[1]) << "the address touched";

    char address[40];
    snprintf(address, sizeof address, "at %p", freedPage);
    const std::string description = describe(seen[0]);
    EXPECT_NE(std::string::npos, description.find("exception 0xC0000005")) << description;
    EXPECT_NE(std::string::npos, description.find(address)) << description;

    // What every test program does at the end of each test, with the fault
    // planted again: the test fails with that description.
    EXPECT_NONFATAL_FAILURE(
        {
            fault.inADestroyedWindow();
            failForSeenExceptions("");
        },
        description);
}

void throwAndCatch(void* caught)
{
    try {
        throw std::runtime_error("thrown on purpose");
    } catch (const std::runtime_error&) {
        *static_cast<bool*>(caught) = true;
    }
}

TEST(ExceptionMonitor, FaultsTakenByTheGuardDebugOutputAndCaughtThrowsPass)
{
    PlantedFault fault;
    ASSERT_TRUE(fault.ready());
    DWORD code = 0;
    EXPECT_FALSE(CallGuarded(callFreedPage, nullptr, &code)) << "the guard took the fault";
    EXPECT_EQ(static_cast<DWORD>(STATUS_ACCESS_VIOLATION), code);
    OutputDebugStringA("debug output raises an informational exception\n");
    bool caught = false;
    throwAndCatch(&caught);
    EXPECT_TRUE(caught);

    long noted = 0;
    takeSeenExceptions(&noted);
    EXPECT_EQ(0, noted);
}

}  // namespace
