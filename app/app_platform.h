#ifndef ZYK_APP_APP_PLATFORM_H
#define ZYK_APP_APP_PLATFORM_H

#include <windows.h>
#include <cstdlib>

// Every platform and runtime operation that the framework's logic depends on,
// reached through one table so that logic tests can put fakes in their place.
// Each field starts out as the real function.
struct AppPlatform {
    // Heap of the pump table and the pointer lists.
    decltype(&::malloc) malloc = ::malloc;
    decltype(&::realloc) realloc = ::realloc;
    decltype(&::free) free = ::free;

    decltype(&::GetCurrentThreadId) GetCurrentThreadId = ::GetCurrentThreadId;

    // Message loop.
    decltype(&::PeekMessageA) PeekMessageA = ::PeekMessageA;
    decltype(&::GetMessageA) GetMessageA = ::GetMessageA;
    decltype(&::TranslateMessage) TranslateMessage = ::TranslateMessage;
    decltype(&::DispatchMessageA) DispatchMessageA = ::DispatchMessageA;

    // Executable storage of the trampolines.
    decltype(&::VirtualAlloc) VirtualAlloc = ::VirtualAlloc;
    decltype(&::VirtualProtect) VirtualProtect = ::VirtualProtect;
    decltype(&::VirtualFree) VirtualFree = ::VirtualFree;
    decltype(&::FlushInstructionCache) FlushInstructionCache = ::FlushInstructionCache;

    // Centring.
    decltype(&::GetWindowLongPtrA) GetWindowLongPtrA = ::GetWindowLongPtrA;
    decltype(&::GetParent) GetParent = ::GetParent;
    decltype(&::GetWindow) GetWindow = ::GetWindow;
    decltype(&::GetWindowRect) GetWindowRect = ::GetWindowRect;
    decltype(&::GetClientRect) GetClientRect = ::GetClientRect;
    decltype(&::MapWindowPoints) MapWindowPoints = ::MapWindowPoints;
    decltype(&::SystemParametersInfoA) SystemParametersInfoA = ::SystemParametersInfoA;
    decltype(&::SetWindowPos) SetWindowPos = ::SetWindowPos;

    // Run-time lookups of entries that only newer systems export.
    decltype(&::GetModuleHandleA) GetModuleHandleA = ::GetModuleHandleA;
    decltype(&::GetProcAddress) GetProcAddress = ::GetProcAddress;
};

// The table in use. Tests replace fields and restore the table afterwards.
AppPlatform& appPlatform();

#endif
