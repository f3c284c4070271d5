#include "ui/about_dialog.h"

#include "app/place_centred.h"
#include "res/resource_ids.h"

AboutDialog::AboutDialog() : DialogBinding(IDD_ABOUT_DIALOG) {}

BOOL AboutDialog::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM,
                                LRESULT& result, DWORD tableId) {
    if (tableId != 0)
        return FALSE;
    switch (message) {
    case WM_INITDIALOG:
        // The parent of an owned pop-up is its owner; without one, or with a
        // hidden or minimised one, the box is centred in the work area.
        placeCentred(window, GetParent(window));
        result = 1;
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
        case IDCANCEL:
            EndDialog(window, LOWORD(wParam));
            result = 0;
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

int showAboutBox() {
    AboutDialog about;
    about.runModal(GetActiveWindow(), 0);
    return 0;
}
