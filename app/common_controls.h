#pragma once

#include <windows.h>
#include <commctrl.h>

// The two entry points of the common controls that came with version 4.70 (Internet
// Explorer 3; built into Windows 98 and 2000). Windows 95 and NT 4.0 as first shipped carry
// older common controls without them, so the program looks them up in the loaded DLL and falls back where
// they are missing. Each lookup takes the modules to search, so that tests can present a
// module that lacks the entry.

typedef BOOL(WINAPI* InitCommonControlsExProc)(const INITCOMMONCONTROLSEX*);
typedef BOOL(WINAPI* TrackMouseEventProc)(LPTRACKMOUSEEVENT);

// Registers the common-control window classes: with InitCommonControlsEx from
// commonControls where it has one, else with InitCommonControls, which registers every
// class. Returns true when InitCommonControlsEx was used; its own result is of no interest.
bool InitCommonControlsWherePresent(HMODULE commonControls, const INITCOMMONCONTROLSEX* classes);

// The common controls' _TrackMouseEvent where they have it, else the system's own
// TrackMouseEvent (Windows 98 and NT 4.0), else null (Windows 95 with older common controls).
TrackMouseEventProc FindTrackMouseEvent(HMODULE commonControls, HMODULE user);

// _TrackMouseEvent through the lookup above in the loaded common controls and user32, made
// once. Where neither entry exists it asks for nothing and returns FALSE: no WM_MOUSELEAVE
// will come.
BOOL WINAPI TrackMouseEventWherePresent(LPTRACKMOUSEEVENT track);
