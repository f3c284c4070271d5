// The layout check that the DPI test runs on the main dialog, on a dialog made with one
// fault of each kind beside controls that are laid out well.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "dialog_layout.h"
#include "support/dialog_template.h"

namespace {

INT_PTR CALLBACK plainDialog(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

// The faults that name the control.
std::vector<std::string> faultsOf(const std::vector<std::string>& faults, int id) {
    const std::string name = "control " + std::to_string(id) + " ";
    std::vector<std::string> found;
    for (const std::string& fault : faults)
        if (fault.find(name) != std::string::npos)
            found.push_back(fault);
    return found;
}

TEST(DialogLayoutTest, FindsEachTextThatDoesNotFitEachOverlapAndADialogOutsideTheWorkArea) {
    enum { Group = 10, Fits = 11, TooLong = 12, Lines = 13, TooManyLines = 14, Button = 15,
           OverButton = 16, Combo = 17, Outside = 18 };
    DialogTemplate layout(WS_POPUP | WS_CAPTION, 200, 120, "Layout", "MS Sans Serif");
    layout.control("Button", "Group", BS_GROUPBOX, Group, 5, 5, 100, 100)
        .control("Static", "fits", SS_LEFT, Fits, 10, 15, 40, 8)
        .control("Static", "a text far too long for its control", SS_LEFT, TooLong, 10, 25, 40, 8)
        .control("Static", "1.0\t2.0\t3.0\t4.0\r\n5.0", SS_LEFT, Lines, 10, 33, 90, 20)
        .control("Static", "1.0\t2.0\t3.0\t4.0\r\n5.0", SS_LEFT, TooManyLines, 10, 55, 90, 8)
        .control("Button", "OK", BS_PUSHBUTTON, Button, 120, 10, 40, 14)
        .control("Static", "over", SS_LEFT, OverButton, 150, 20, 30, 8)
        .control("ComboBox", "", CBS_DROPDOWNLIST | WS_VSCROLL, Combo, 120, 40, 30, 60)
        .control("Static", "out", SS_LEFT, Outside, 180, 110, 40, 8);
    HWND dialog = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), layout.get(), nullptr,
                                             plainDialog, 0);
    ASSERT_NE(nullptr, dialog);
    SendDlgItemMessageA(dialog, Combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("12"));
    SendDlgItemMessageA(dialog, Combo, CB_ADDSTRING, 0,
                        reinterpret_cast<LPARAM>("an entry far too long for the box"));
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    SetWindowPos(dialog, nullptr, work.left - 50, work.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);

    const std::vector<std::string> faults = LayoutFaults(dialog);
    std::string found = "\nfaults found:";
    bool dialogOutside = false;
    for (const std::string& fault : faults) {
        found += "\n  " + fault;
        dialogOutside = dialogOutside || fault.find("outside the work area") != std::string::npos;
    }
    for (int id : {Group, Fits, Lines})
        EXPECT_TRUE(faultsOf(faults, id).empty()) << "control " << id << " is laid out well" << found;
    for (int id : {TooLong, TooManyLines, Button, OverButton, Combo, Outside})
        EXPECT_FALSE(faultsOf(faults, id).empty()) << "control " << id << " has a fault" << found;
    EXPECT_EQ(1u, faultsOf(faults, Combo).size()) << "one entry does not fit" << found;
    EXPECT_TRUE(dialogOutside) << found;
    DestroyWindow(dialog);
}

}  // namespace
