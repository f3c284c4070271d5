#include "link/link_label.h"

#include <windowsx.h>

#include "link/link_platform.h"

namespace {

// The point of a mouse message: x and y, each sign-extended from 16 bits.
POINT pointOf(LPARAM lParam)
{
    POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    return point;
}

// Repaints area of window (all of it for none) at once, not with the next paint.
void redrawNow(HWND window, const RECT* area)
{
    LinkPlatform& platform = linkPlatform();
    platform.InvalidateRect(window, area, TRUE);
    platform.UpdateWindow(window);
}

}  // namespace

BOOL LinkLabel::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                              LRESULT& result, DWORD tableId)
{
    if (tableId != 0)
        return FALSE;
    LinkPlatform& platform = linkPlatform();

    if (message == WM_CREATE) {
        prepareControl();
        result = 0;
        return TRUE;
    }
    if (message == WM_DESTROY) {
        // The tooltip goes with the label; the previous procedure still sees
        // the message.
        if (IsWindow(tipWindow_)) {
            DestroyWindow(tipWindow_);
            tipWindow_ = nullptr;
        }
        return FALSE;
    }
    // The tooltip decides from the mouse traffic when to show its tip; the
    // message then goes on to the rows below.
    if (message >= WM_MOUSEMOVE && message <= WM_MBUTTONDBLCLK && IsWindow(tipWindow_)
        && !(options_ & NoTipRelay))
        relayToTip(message, wParam, lParam);

    switch (message) {
    case WM_ERASEBKGND:
        // Painting fills the background itself.
        result = 1;
        return TRUE;

    case WM_PAINT:
    case WM_PRINTCLIENT:
        if (!(state_ & DrawsLink))
            return FALSE;
        paintEntry(window, reinterpret_cast<HDC>(wParam));
        result = 0;
        return TRUE;

    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        if (!(state_ & DrawsLink))
            return FALSE;
        platform.InvalidateRect(window, nullptr, TRUE);
        result = 0;
        return TRUE;

    case WM_MOUSEMOVE:
        result = 0;
        return followPointer(window, pointOf(lParam)) ? TRUE : FALSE;

    case WM_MOUSELEAVE:
        leaveLink(window);
        result = 0;
        return TRUE;

    case WM_LBUTTONDOWN: {
        // A press outside the link neither focuses nor captures, so its
        // release does nothing.
        const POINT point = pointOf(lParam);
        if (PtInRect(&linkRect_, point)) {
            platform.SetFocus(window);
            platform.SetCapture(window);
        }
        result = 0;
        return TRUE;
    }

    case WM_LBUTTONUP:
        if (platform.GetCapture() == window) {
            platform.ReleaseCapture();
            const POINT point = pointOf(lParam);
            if (PtInRect(&linkRect_, point))
                activate();
        }
        result = 0;
        return TRUE;

    case WM_CHAR:
        if (wParam == VK_RETURN || wParam == VK_SPACE)
            activate();
        result = 0;
        return TRUE;

    case WM_GETDLGCODE:
        result = DLGC_WANTCHARS;
        return TRUE;

    case WM_SETCURSOR: {
        // Over the link the hand set on mouse movement stays; elsewhere the
        // previous procedure chooses the cursor.
        if (!isLive())
            return FALSE;
        POINT point;
        if (!platform.GetCursorPos(&point))
            return FALSE;
        ScreenToClient(window, &point);
        if (!PtInRect(&linkRect_, point))
            return FALSE;
        result = 1;
        return TRUE;
    }

    case WM_ENABLE:
        redrawNow(window, nullptr);
        result = 0;
        return TRUE;

    case WM_GETFONT:
        result = reinterpret_cast<LRESULT>(textFont_);
        return TRUE;

    case WM_SETFONT:
        // Neither re-measures nor derives a new link font.
        textFont_ = reinterpret_cast<HFONT>(wParam);
        if (lParam)
            redrawNow(window, nullptr);
        result = 0;
        return TRUE;

    case WM_UPDATEUISTATE:
        result = 0;
        return TRUE;
    }
    return FALSE;
}

void LinkLabel::paintEntry(HWND window, HDC dc)
{
    if (dc) {
        paintBackground(dc);
        paintLink(dc);
        return;
    }
    PAINTSTRUCT paint;
    HDC windowDc = BeginPaint(window, &paint);
    if (windowDc) {
        paintBackground(windowDc);
        paintLink(windowDc);
    }
    EndPaint(window, &paint);
}

bool LinkLabel::followPointer(HWND window, POINT point)
{
    LinkPlatform& platform = linkPlatform();
    if (isLive() && PtInRect(&linkRect_, point)) {
        platform.SetCursor(handCursor_);
        if ((options_ & HoverOnlyStyle) && !(state_ & Hovering)) {
            state_ |= Hovering;
            redrawNow(window, &linkRect_);
            armLeaveTracking();
        }
        return true;
    }
    leaveLink(window);
    return false;
}

void LinkLabel::leaveLink(HWND window)
{
    if ((options_ & HoverOnlyStyle) && (state_ & Hovering)) {
        state_ &= ~Hovering;
        redrawNow(window, &linkRect_);
    }
}

void LinkLabel::relayToTip(UINT message, WPARAM wParam, LPARAM lParam)
{
    MSG record = {};
    record.hwnd = window();
    record.message = message;
    record.wParam = wParam;
    record.lParam = lParam;
    linkPlatform().SendMessageA(tipWindow_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&record));
}

void LinkLabel::armLeaveTracking()
{
    // One WM_MOUSELEAVE per request; the record at the build's own size.
    TRACKMOUSEEVENT track = {};
    track.cbSize = sizeof track;
    track.dwFlags = TME_LEAVE;
    track.hwndTrack = window();
    track.dwHoverTime = 0;
    linkPlatform().TrackMouseEvent(&track);
}

bool LinkLabel::activate()
{
    LinkPlatform& platform = linkPlatform();
    HWND label = window();
    HWND parent = GetParent(label);
    const int identifier = GetDlgCtrlID(label);

    if ((options_ & CommandLink) && (options_ & NotifyLink)) {
        NMHDR header = {};
        header.hwndFrom = label;
        header.idFrom = static_cast<UINT_PTR>(identifier);
        header.code = static_cast<UINT>(NM_CLICK);
        platform.SendMessageA(parent, WM_NOTIFY, static_cast<WPARAM>(identifier),
                              reinterpret_cast<LPARAM>(&header));
        return true;
    }
    if (options_ & CommandLink) {
        platform.SendMessageA(parent, WM_COMMAND, MAKEWPARAM(identifier, 0),
                              reinterpret_cast<LPARAM>(label));
        return true;
    }

    if (!target_)
        return false;
    HINSTANCE status = platform.ShellExecuteA(nullptr, "open", target_, nullptr, nullptr, SW_SHOWNORMAL);
    if (reinterpret_cast<INT_PTR>(status) <= 32)
        return false;
    // Repainted with the next paint, not at once.
    state_ |= Visited;
    platform.InvalidateRect(label, nullptr, TRUE);
    return true;
}
