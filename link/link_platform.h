#pragma once

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include "app/common_controls.h"

// The platform calls through which the label's input handling and its
// reading of the browser colours reach Win32, so that logic tests can put
// fakes in their place. Measuring and painting call Win32 directly.
struct LinkPlatform {
    decltype(&::SetCursor) SetCursor = ::SetCursor;
    decltype(&::GetCursorPos) GetCursorPos = ::GetCursorPos;
    decltype(&::SetFocus) SetFocus = ::SetFocus;
    decltype(&::SetCapture) SetCapture = ::SetCapture;
    decltype(&::GetCapture) GetCapture = ::GetCapture;
    decltype(&::ReleaseCapture) ReleaseCapture = ::ReleaseCapture;
    decltype(&::InvalidateRect) InvalidateRect = ::InvalidateRect;
    decltype(&::UpdateWindow) UpdateWindow = ::UpdateWindow;
    decltype(&::SendMessageA) SendMessageA = ::SendMessageA;
    // The common controls' _TrackMouseEvent, or its stand-in where they lack it.
    decltype(&::_TrackMouseEvent) TrackMouseEvent = TrackMouseEventWherePresent;
    decltype(&::ShellExecuteA) ShellExecuteA = ::ShellExecuteA;
    decltype(&::RegOpenKeyExA) RegOpenKeyExA = ::RegOpenKeyExA;
    decltype(&::RegQueryValueExA) RegQueryValueExA = ::RegQueryValueExA;
    decltype(&::RegCloseKey) RegCloseKey = ::RegCloseKey;
};

// The one in use; tests replace fields and restore them.
LinkPlatform& linkPlatform();
