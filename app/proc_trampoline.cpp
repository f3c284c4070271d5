#include "app/proc_trampoline.h"

#include <windows.h>

#include <cstring>

#include "app/app_platform.h"

ProcTrampoline::ProcTrampoline() : code(nullptr), ready(false)
{
}

ProcTrampoline::~ProcTrampoline()
{
    release();
}

bool ProcTrampoline::write(const void* object, const void* procedure)
{
    AppPlatform& platform = appPlatform();
    if (code == nullptr) {
        // One page of its own per stub: a page shared with other stubs
        // would have to become writable while they may be running.
        code = static_cast<unsigned char*>(
            platform.VirtualAlloc(nullptr, TrampolineSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        if (code == nullptr)
            return false;
        ready = false;
    }

    unsigned char bytes[TrampolineSize];
    encodeTrampoline(bytes, code, object, procedure);
    if (ready && std::memcmp(bytes, code, TrampolineSize) == 0)
        return true;

    // While not ready the storage is still writable: fresh, or left so by a
    // write whose final protection change failed.
    DWORD previous = 0;
    if (ready) {
        if (!platform.VirtualProtect(code, TrampolineSize, PAGE_READWRITE, &previous))
            return false;
        ready = false;
    }
    std::memcpy(code, bytes, TrampolineSize);
    if (!platform.VirtualProtect(code, TrampolineSize, PAGE_EXECUTE_READ, &previous))
        return false;
    platform.FlushInstructionCache(GetCurrentProcess(), code, TrampolineSize);
    ready = true;
    return true;
}

void ProcTrampoline::release()
{
    if (code != nullptr)
        appPlatform().VirtualFree(code, 0, MEM_RELEASE);
    code = nullptr;
    ready = false;
}
