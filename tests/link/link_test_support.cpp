#include "link_test_support.h"

#include <commctrl.h>

namespace {

INT_PTR CALLBACK testDialogProc(HWND, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return FALSE;
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<INT_PTR>(GetStockObject(WHITE_BRUSH));
    case WM_COMMAND:
    case WM_NOTIFY: {
        TestDialog::Notice notice = {message, wParam, lParam, {}};
        if (message == WM_NOTIFY)
            notice.header = *reinterpret_cast<NMHDR*>(lParam);
        TestDialog::notices().push_back(notice);
        return TRUE;
    }
    }
    return FALSE;
}

}  // namespace

std::vector<TestDialog::Notice>& TestDialog::notices()
{
    static std::vector<Notice> list;
    return list;
}

TestDialog::TestDialog(DWORD style, const char* text, const char* className)
    : template_(DS_MODALFRAME | WS_POPUP | WS_CAPTION, 200, 60, "", "MS Shell Dlg")
{
    notices().clear();
    template_.control(className, text, style, static_cast<WORD>(LabelId), 5, 5, 180, 40);
    dialog_ = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), template_.get(), nullptr,
                                         testDialogProc, 0);
    label_ = GetDlgItem(dialog_, LabelId);
}

TestDialog::~TestDialog()
{
    if (IsWindow(dialog_))
        DestroyWindow(dialog_);
}

Rendering renderClient(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    Rendering out;
    out.width = client.right;
    out.height = client.bottom;

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = out.width;
    info.bmiHeader.biHeight = -out.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    HDC dc = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    GdiFlush();
    const DWORD* p = static_cast<const DWORD*>(bits);
    for (int i = 0; i < out.width * out.height; ++i)
        out.pixels.push_back(p[i] & 0x00FFFFFF);
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return out;
}

DWORD rgbOf(COLORREF colour)
{
    return (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
}
