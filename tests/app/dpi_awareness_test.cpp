#include "app/dpi_awareness.h"

#include <gtest/gtest.h>

#include <string>

#include "support/platform_guard.h"

namespace {

// A user32 of some Windows version: which of the two entries it exports, and what was asked
// of it.
struct FakeUser {
    bool hasContextEntry;
    bool hasAwareEntry;
    std::string moduleAskedFor;
    int contextCalls;
    HANDLE contextGiven;
    int awareCalls;
} user;

const HMODULE FakeUserModule = reinterpret_cast<HMODULE>(static_cast<INT_PTR>(0x7000));

BOOL WINAPI fakeSetProcessDpiAwarenessContext(HANDLE context)
{
    ++user.contextCalls;
    user.contextGiven = context;
    return TRUE;
}

BOOL WINAPI fakeSetProcessDPIAware()
{
    ++user.awareCalls;
    return TRUE;
}

HMODULE WINAPI fakeGetModuleHandle(LPCSTR name)
{
    user.moduleAskedFor = name != nullptr ? name : "(null)";
    return FakeUserModule;
}

FARPROC WINAPI fakeGetProcAddress(HMODULE module, LPCSTR name)
{
    if (module != FakeUserModule)
        return nullptr;
    if (user.hasContextEntry && std::string(name) == "SetProcessDpiAwarenessContext")
        return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(fakeSetProcessDpiAwarenessContext));
    if (user.hasAwareEntry && std::string(name) == "SetProcessDPIAware")
        return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(fakeSetProcessDPIAware));
    return nullptr;
}

TEST(DpiAwarenessTest, TheNewestEntryTheSystemHasDeclaresTheProcessAwareOfTheSystemDpi)
{
    const HANDLE SystemAware = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-2));
    struct Case {
        const char* system;
        bool hasContextEntry, hasAwareEntry;
        int contextCalls, awareCalls;
    };
    const Case cases[] = {
        {"Windows 10 1703 on", true, true, 1, 0},
        {"Vista to Windows 10 1607", false, true, 0, 1},
        {"before Vista", false, false, 0, 0},
    };
    AppPlatformGuard guard;
    appPlatform().GetModuleHandleA = fakeGetModuleHandle;
    appPlatform().GetProcAddress = fakeGetProcAddress;
    for (const Case& c : cases) {
        user = FakeUser{c.hasContextEntry, c.hasAwareEntry, "", 0, nullptr, 0};
        DeclareDpiAwareness();
        EXPECT_EQ(0, lstrcmpiA("user32.dll", user.moduleAskedFor.c_str())) << c.system;
        EXPECT_EQ(c.contextCalls, user.contextCalls) << c.system;
        if (c.contextCalls != 0) {
            EXPECT_EQ(SystemAware, user.contextGiven) << c.system << ": system awareness";
        }
        EXPECT_EQ(c.awareCalls, user.awareCalls) << c.system;
    }
}

} // namespace
