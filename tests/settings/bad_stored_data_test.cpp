// Restoring from values that the store did not write, or that were damaged:
// each leaves a defined state and reads nothing past its buffer.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

#include "control_test_support.h"

namespace {

const int ControlId = 1000;
const char* const ValueName = "33220";

const char* const entries[] = {"50", "100", "150", "200"};

void fillComboBox(HWND combo)
{
    for (const char* entry : entries)
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
    SendMessageA(combo, CB_SETCURSEL, 1, 0);
}

void fillListBox(HWND list)
{
    for (const char* entry : entries)
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
    SendMessageA(list, LB_SETCURSEL, 1, 0);
}

void fillTabs(HWND tabs)
{
    for (int i = 0; i < 3; ++i) {
        char text[] = "Seite";
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        SendMessageA(tabs, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
    }
    SendMessageA(tabs, TCM_SETCURSEL, 1, 0);
}

void setEditText(HWND edit)
{
    SetWindowTextA(edit, "vorher");
}

void checkButton(HWND button)
{
    SendMessageA(button, BM_SETCHECK, BST_CHECKED, 0);
}

void setAddress(HWND address)
{
    SendMessageA(address, IPM_SETADDRESS, 0, MAKEIPADDRESS(10, 0, 0, 1));
}

void setHotkey(HWND hotkey)
{
    SendMessageA(hotkey, HKM_SETHOTKEY, MAKEWORD('Q', HOTKEYF_SHIFT), 0);
}

void setDate(HWND date)
{
    SYSTEMTIME time = {};
    time.wYear = 2020;
    time.wMonth = 1;
    time.wDay = 2;
    SendMessageA(date, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
}

std::string comboSelection(HWND combo)
{
    return std::to_string(SendMessageA(combo, CB_GETCURSEL, 0, 0));
}

std::string listSelection(HWND list)
{
    return std::to_string(SendMessageA(list, LB_GETCURSEL, 0, 0));
}

std::string tabSelection(HWND tabs)
{
    return std::to_string(SendMessageA(tabs, TCM_GETCURSEL, 0, 0));
}

std::string checkState(HWND button)
{
    return std::to_string(SendMessageA(button, BM_GETCHECK, 0, 0));
}

std::string address(HWND control)
{
    DWORD value = 0;
    SendMessageA(control, IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&value));
    return std::to_string(value);
}

std::string hotkey(HWND control)
{
    return std::to_string(SendMessageA(control, HKM_GETHOTKEY, 0, 0));
}

std::string date(HWND control)
{
    SYSTEMTIME time = {};
    LRESULT result = SendMessageA(control, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time));
    return std::to_string(result) + ":" + std::to_string(time.wYear) + "-" + std::to_string(time.wMonth) +
           "-" + std::to_string(time.wDay);
}

std::string bytes(std::initializer_list<int> values)
{
    std::string result;
    for (int value : values)
        result += static_cast<char>(value);
    return result;
}

std::string dateRecord(WORD year, WORD month, WORD day, size_t size)
{
    SYSTEMTIME time = {};
    time.wYear = year;
    time.wMonth = month;
    time.wDay = day;
    std::string record(reinterpret_cast<const char*>(&time), sizeof time);
    record.resize(size, '\0');
    return record;
}

struct BadValueCase {
    const char* description;
    const char* className;
    DWORD style;
    void (*prepare)(HWND);
    DWORD type;
    std::string data;
    std::string (*observe)(HWND);
    std::string expected;
};

const BadValueCase badValueCases[] = {
    {"text without terminating zero", "Edit", 0, setEditText, REG_SZ, "Hallo", WindowText, "Hallo"},
    {"text stored as a number", "Edit", 0, setEditText, REG_DWORD, bytes({'A', 'B', 'C', 0}), WindowText, "ABC"},
    {"text stored as binary without zero", "Edit", 0, setEditText, REG_BINARY, "xyz", WindowText, "xyz"},
    {"empty text", "Edit", 0, setEditText, REG_SZ, "", WindowText, "vorher"},
    {"empty binary text", "Edit", 0, setEditText, REG_BINARY, "", WindowText, "vorher"},

    {"check state not a number", "Button", BS_AUTOCHECKBOX, checkButton, REG_SZ, "ja", checkState, "0"},
    {"check state stored as a number", "Button", BS_AUTOCHECKBOX, checkButton, REG_DWORD, bytes({1, 0, 0, 0}),
     checkState, "0"},
    {"empty check state", "Button", BS_AUTOCHECKBOX, checkButton, REG_SZ, "", checkState, "1"},

    {"combo index without terminating zero", "ComboBox", CBS_DROPDOWNLIST, fillComboBox, REG_SZ, "3",
     comboSelection, "3"},
    {"combo index past the list", "ComboBox", CBS_DROPDOWNLIST, fillComboBox, REG_SZ, "7", comboSelection, "-1"},
    {"combo index just past the list", "ComboBox", CBS_DROPDOWNLIST, fillComboBox, REG_SZ, "4", comboSelection,
     "-1"},
    {"negative combo index", "ComboBox", CBS_DROPDOWNLIST, fillComboBox, REG_SZ, "-5", comboSelection, "-1"},
    {"combo index not a number", "ComboBox", CBS_DROPDOWNLIST, fillComboBox, REG_SZ, "x", comboSelection, "0"},
    {"combo index stored as a number", "ComboBox", CBS_DROPDOWNLIST, fillComboBox, REG_DWORD,
     bytes({3, 0, 0, 0}), comboSelection, "0"},
    {"editable combo index past the list", "ComboBox", CBS_DROPDOWN, fillComboBox, REG_SZ, "9", comboSelection,
     "-1"},

    {"list index past the list", "ListBox", 0, fillListBox, REG_DWORD, bytes({9, 0, 0, 0}), listSelection, "-1"},
    {"no list selection", "ListBox", 0, fillListBox, REG_DWORD, bytes({0xFF, 0xFF, 0xFF, 0xFF}), listSelection,
     "-1"},
    {"list index of eight bytes", "ListBox", 0, fillListBox, REG_BINARY, bytes({2, 0, 0, 0, 0, 0, 0, 0}),
     listSelection, "1"},
    {"list index of one byte", "ListBox", 0, fillListBox, REG_BINARY, bytes({2}), listSelection, "1"},
    {"empty list index", "ListBox", 0, fillListBox, REG_BINARY, "", listSelection, "1"},
    {"list index stored as text", "ListBox", 0, fillListBox, REG_SZ, "2", listSelection, "1"},

    {"tab index of eight bytes", WC_TABCONTROLA, 0, fillTabs, REG_BINARY, bytes({2, 0, 0, 0, 0, 0, 0, 0}),
     tabSelection, "1"},
    {"address of five bytes", WC_IPADDRESSA, 0, setAddress, REG_BINARY, bytes({1, 2, 3, 4, 5}), address,
     std::to_string(MAKEIPADDRESS(10, 0, 0, 1))},
    {"hotkey of two bytes", HOTKEY_CLASSA, 0, setHotkey, REG_BINARY, bytes({'K', 2}), hotkey,
     std::to_string(MAKEWORD('Q', HOTKEYF_SHIFT))},

    {"date record of twenty bytes", DATETIMEPICK_CLASSA, 0, setDate, REG_BINARY, dateRecord(2030, 5, 6, 20), date,
     "0:2020-1-2"},
    {"date record of four bytes", DATETIMEPICK_CLASSA, 0, setDate, REG_DWORD, bytes({1, 2, 3, 4}), date,
     "0:2020-1-2"},
    {"date in the thirteenth month", DATETIMEPICK_CLASSA, 0, setDate, REG_BINARY, dateRecord(2030, 13, 6, 16),
     date, "0:2020-1-2"},
};

TEST(BadStoredData, EachValueRestoresToADefinedState)
{
    for (const BadValueCase& c : badValueCases) {
        TestRegistryKey key;
        key.write(ValueName, c.type, c.data);
        TestDialog dialog;
        HWND control = dialog.add(c.className, "", c.style, ControlId);
        ASSERT_NE(nullptr, control) << c.description;
        c.prepare(control);

        RestoreControls(dialog.window(), key.path());

        EXPECT_EQ(c.expected, c.observe(control)) << c.description;
    }
}

// A text far longer than any control's default limit, stored without a
// terminating zero.
TEST(BadStoredData, VeryLongTextForAnEdit)
{
    TestRegistryKey key;
    const std::string longText(200000, 'x');
    key.write(ValueName, REG_SZ, longText);
    TestDialog dialog;
    HWND edit = dialog.add("Edit", "vorher", ES_AUTOHSCROLL, ControlId);

    RestoreControls(dialog.window(), key.path());

    std::string restored = WindowText(edit);
    EXPECT_FALSE(restored.empty());
    EXPECT_LE(restored.size(), longText.size());
    EXPECT_EQ(std::string::npos, restored.find_first_not_of('x')) << "nothing but the stored text";
}

}  // namespace
