#include "link_test_support.h"

#include <commctrl.h>

#include "app/app_module.h"

namespace {

void append(std::vector<WORD>& out, const char* text)
{
    wchar_t wide[128] = {};
    MultiByteToWideChar(CP_ACP, 0, text, -1, wide, 128);
    for (const wchar_t* p = wide; *p; ++p)
        out.push_back(static_cast<WORD>(*p));
    out.push_back(0);
}

void appendDword(std::vector<WORD>& out, DWORD value)
{
    out.push_back(LOWORD(value));
    out.push_back(HIWORD(value));
}

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
{
    static bool started = false;
    if (!started) {
        INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_WIN95_CLASSES};
        InitCommonControlsEx(&classes);
        appModule.startUp(GetModuleHandleA(nullptr));
        started = true;
    }
    notices().clear();

    // DLGTEMPLATE, no menu, default class, empty title, 8 point font.
    appendDword(template_, DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION);
    appendDword(template_, 0);
    template_.insert(template_.end(), {1, 0, 0, 200, 60, 0, 0, 0, 8});
    append(template_, "MS Shell Dlg");
    if (template_.size() % 2)
        template_.push_back(0);
    // DLGITEMTEMPLATE: the control, its class by name, its text, no data.
    appendDword(template_, WS_CHILD | WS_VISIBLE | style);
    appendDword(template_, 0);
    template_.insert(template_.end(), {5, 5, 180, 40, static_cast<WORD>(LabelId)});
    append(template_, className);
    append(template_, text);
    template_.push_back(0);

    dialog_ = CreateDialogIndirectParamA(GetModuleHandleA(nullptr),
                                         reinterpret_cast<DLGTEMPLATE*>(template_.data()),
                                         nullptr, testDialogProc, 0);
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
