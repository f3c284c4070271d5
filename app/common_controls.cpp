#include "app/common_controls.h"

namespace {

FARPROC EntryOf(HMODULE module, const char* name)
{
    return module != nullptr ? GetProcAddress(module, name) : nullptr;
}

} // namespace

bool InitCommonControlsWherePresent(HMODULE commonControls, const INITCOMMONCONTROLSEX* classes)
{
    InitCommonControlsExProc extended = reinterpret_cast<InitCommonControlsExProc>(
        reinterpret_cast<void*>(EntryOf(commonControls, "InitCommonControlsEx")));
    if (extended == nullptr) {
        InitCommonControls();
        return false;
    }
    extended(classes);
    return true;
}

TrackMouseEventProc FindTrackMouseEvent(HMODULE commonControls, HMODULE user)
{
    FARPROC entry = EntryOf(commonControls, "_TrackMouseEvent");
    if (entry == nullptr)
        entry = EntryOf(user, "TrackMouseEvent");
    return reinterpret_cast<TrackMouseEventProc>(reinterpret_cast<void*>(entry));
}

BOOL WINAPI TrackMouseEventWherePresent(LPTRACKMOUSEEVENT track)
{
    // Both DLLs are loaded for as long as the program runs: it imports from each.
    static const TrackMouseEventProc found =
        FindTrackMouseEvent(GetModuleHandleA("COMCTL32.DLL"), GetModuleHandleA("USER32.DLL"));
    return found != nullptr ? found(track) : FALSE;
}
