// Saving and restoring real controls of every remembered class through the
// real registry.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "control_test_support.h"
#include "set_value_recorder.h"

namespace {

enum : int {
    EditId = 1000,
    RichEdit10Id = 1002,
    RichEdit20Id = 1003,
    PushId = 1004,
    CheckId = 1005,
    RadioId = 1006,
    ListId = 1007,
    DropListId = 1008,
    DropDownId = 1009,
    AddressId = 1010,
    HotkeyId = 1011,
    DateId = 1012,
    TabId = 1013,
    LabelId = 1014,
    NoId = 0xFFFF,
};

const char* const listEntries[] = {"50", "100", "150", "200"};

void fillList(HWND list, UINT addMessage)
{
    for (const char* entry : listEntries)
        SendMessageA(list, addMessage, 0, reinterpret_cast<LPARAM>(entry));
}

SYSTEMTIME makeDate(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second)
{
    SYSTEMTIME time = {};
    time.wYear = year;
    time.wMonth = month;
    time.wDay = day;
    time.wHour = hour;
    time.wMinute = minute;
    time.wSecond = second;
    return time;
}

// One control of every remembered class, plus controls the store passes over.
// Lists are filled and their first entries selected, as a dialog would open.
void addAllClasses(TestDialog& dialog)
{
    dialog.add("Button", "Gruppe", BS_GROUPBOX, NoId);
    dialog.add("Static", "Beschriftung", 0, NoId);
    // No identifier held in 32 bits, as an extended template or a created
    // window gives it.
    dialog.add("Button", "Rahmen", BS_GROUPBOX, -1);
    dialog.add("Edit", "", ES_AUTOHSCROLL, EditId);
    dialog.add("RICHEDIT", "", 0, RichEdit10Id);
    dialog.add("RichEdit20A", "", 0, RichEdit20Id);
    dialog.add("Button", "Push", BS_PUSHBUTTON, PushId);
    dialog.add("Button", "Check", BS_AUTOCHECKBOX, CheckId);
    dialog.add("Button", "Radio", BS_AUTORADIOBUTTON, RadioId);
    fillList(dialog.add("ListBox", "", LBS_NOTIFY, ListId), LB_ADDSTRING);
    fillList(dialog.add("ComboBox", "", CBS_DROPDOWNLIST, DropListId), CB_ADDSTRING);
    fillList(dialog.add("ComboBox", "", CBS_DROPDOWN, DropDownId), CB_ADDSTRING);
    dialog.add(WC_IPADDRESSA, "", 0, AddressId);
    dialog.add(HOTKEY_CLASSA, "", 0, HotkeyId);
    dialog.add(DATETIMEPICK_CLASSA, "", 0, DateId);
    HWND tabs = dialog.add(WC_TABCONTROLA, "", 0, TabId);
    for (int i = 0; i < 3; ++i) {
        char text[] = "Seite";
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        SendMessageA(tabs, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
    }
    dialog.add("Static", "Ergebnis", 0, LabelId);

    SendMessageA(dialog.control(ListId), LB_SETCURSEL, 0, 0);
    SendMessageA(dialog.control(DropListId), CB_SETCURSEL, 0, 0);
    SendMessageA(dialog.control(DropDownId), CB_SETCURSEL, 0, 0);
    SendMessageA(tabs, TCM_SETCURSEL, 0, 0);
}

const DWORD storedAddress = MAKEIPADDRESS(192, 168, 0, 1);
const WORD storedHotkey = MAKEWORD('K', HOTKEYF_CONTROL | HOTKEYF_ALT);
const SYSTEMTIME storedDate = makeDate(2024, 2, 29, 10, 20, 30);

void setUserStates(TestDialog& dialog)
{
    SetWindowTextA(dialog.control(EditId), "Hallo Welt");
    SetWindowTextA(dialog.control(RichEdit10Id), "Rich eins");
    SetWindowTextA(dialog.control(RichEdit20Id), "Rich zwei");
    SendMessageA(dialog.control(CheckId), BM_SETCHECK, BST_CHECKED, 0);
    SendMessageA(dialog.control(RadioId), BM_SETCHECK, BST_CHECKED, 0);
    SendMessageA(dialog.control(ListId), LB_SETCURSEL, 2, 0);
    SendMessageA(dialog.control(DropListId), CB_SETCURSEL, 3, 0);
    SendMessageA(dialog.control(DropDownId), CB_SETCURSEL, 1, 0);
    SendMessageA(dialog.control(AddressId), IPM_SETADDRESS, 0, storedAddress);
    SendMessageA(dialog.control(HotkeyId), HKM_SETHOTKEY, storedHotkey, 0);
    SendMessageA(dialog.control(DateId), DTM_SETSYSTEMTIME, GDT_VALID,
                 reinterpret_cast<LPARAM>(&storedDate));
    SendMessageA(dialog.control(TabId), TCM_SETCURSEL, 2, 0);
}

std::string dwordBytes(DWORD value)
{
    return std::string(reinterpret_cast<const char*>(&value), sizeof value);
}

std::string textWithZero(const char* text)
{
    return std::string(text, strlen(text) + 1);
}

struct ExpectedValue {
    const char* name;
    DWORD type;
    std::string data;  // exactly as the store writes it
};

// Checks what the store wrote and what the registry holds. The platform may
// add a terminating zero to a text written without one.
void expectStored(const ExpectedValue& value, const SetValueRecorder& recorder, const TestRegistryKey& key)
{
    const SetValueRecorder::Call* call = recorder.find(value.name);
    ASSERT_NE(nullptr, call) << "value " << value.name << " was not written";
    EXPECT_EQ(value.type, call->type) << "value " << value.name;
    EXPECT_EQ(value.data, call->data) << "value " << value.name;

    TestRegistryKey::Value stored = key.read(value.name);
    ASSERT_TRUE(stored.present) << "value " << value.name;
    EXPECT_EQ(value.type, stored.type) << "value " << value.name;
    if (value.type == REG_SZ && value.data.back() != '\0')
        EXPECT_EQ(value.data, stored.data.substr(0, stored.data.find('\0'))) << "value " << value.name;
    else
        EXPECT_EQ(value.data, stored.data) << "value " << value.name;
}

TEST(ControlStateStore, SavesEveryClassUnderItsBase4Name)
{
    TestRegistryKey key;
    TestDialog dialog;
    addAllClasses(dialog);
    setUserStates(dialog);
    // The editable combo box holds an edit field of its own; it is a
    // grandchild of the dialog and must not be stored.
    HWND innerEdit = GetWindow(dialog.control(DropDownId), GW_CHILD);
    ASSERT_NE(nullptr, innerEdit);
    ASSERT_EQ("100", WindowText(innerEdit));

    SetValueRecorder recorder;
    SaveControls(dialog.window(), key.path());

    const ExpectedValue expected[] = {
        {"33220", REG_SZ, textWithZero("Hallo Welt")},
        {"33222", REG_SZ, textWithZero("Rich eins")},
        {"33223", REG_SZ, textWithZero("Rich zwei")},
        {"33230", REG_SZ, "0"},
        {"33231", REG_SZ, "1"},
        {"33232", REG_SZ, "1"},
        {"33233", REG_DWORD, dwordBytes(2)},
        {"33300", REG_SZ, "3"},
        {"33301", REG_SZ, "1"},
        {"33302", REG_DWORD, dwordBytes(storedAddress)},
        {"33303", REG_DWORD, dwordBytes(storedHotkey)},
        {"33311", REG_DWORD, dwordBytes(2)},
    };
    std::set<std::string> expectedNames = {"33310"};  // the date, checked below
    for (const ExpectedValue& value : expected) {
        expectedNames.insert(value.name);
        expectStored(value, recorder, key);
    }

    TestRegistryKey::Value date = key.read("33310");
    ASSERT_TRUE(date.present);
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), date.type);
    ASSERT_EQ(sizeof(SYSTEMTIME), date.data.size());
    SYSTEMTIME time;
    memcpy(&time, date.data.data(), sizeof time);
    EXPECT_EQ(2024, time.wYear);
    EXPECT_EQ(2, time.wMonth);
    EXPECT_EQ(29, time.wDay);

    // Nothing for statics, controls without identifier or the grandchild.
    EXPECT_EQ(expectedNames, key.names());
}

TEST(ControlStateStore, RestoresEveryClassInANewDialog)
{
    TestRegistryKey key;
    {
        TestDialog first;
        addAllClasses(first);
        setUserStates(first);
        SaveControls(first.window(), key.path());
    }
    TestDialog second;
    addAllClasses(second);
    RestoreControls(second.window(), key.path());

    EXPECT_EQ("Hallo Welt", WindowText(second.control(EditId)));
    EXPECT_EQ("Rich eins", WindowText(second.control(RichEdit10Id)));
    EXPECT_EQ("Rich zwei", WindowText(second.control(RichEdit20Id)));
    EXPECT_EQ(BST_UNCHECKED, SendMessageA(second.control(PushId), BM_GETCHECK, 0, 0));
    EXPECT_EQ(BST_CHECKED, SendMessageA(second.control(CheckId), BM_GETCHECK, 0, 0));
    EXPECT_EQ(BST_CHECKED, SendMessageA(second.control(RadioId), BM_GETCHECK, 0, 0));
    EXPECT_EQ(2, SendMessageA(second.control(ListId), LB_GETCURSEL, 0, 0));
    EXPECT_EQ(3, SendMessageA(second.control(DropListId), CB_GETCURSEL, 0, 0));
    EXPECT_EQ(1, SendMessageA(second.control(DropDownId), CB_GETCURSEL, 0, 0));
    EXPECT_EQ("100", WindowText(second.control(DropDownId)));
    DWORD address = 0;
    SendMessageA(second.control(AddressId), IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&address));
    EXPECT_EQ(storedAddress, address);
    EXPECT_EQ(storedHotkey, SendMessageA(second.control(HotkeyId), HKM_GETHOTKEY, 0, 0));
    SYSTEMTIME time = {};
    EXPECT_EQ(GDT_VALID, SendMessageA(second.control(DateId), DTM_GETSYSTEMTIME, 0,
                                      reinterpret_cast<LPARAM>(&time)));
    EXPECT_EQ(2024, time.wYear);
    EXPECT_EQ(2, time.wMonth);
    EXPECT_EQ(29, time.wDay);
    EXPECT_EQ(10, time.wHour);
    EXPECT_EQ(20, time.wMinute);
    EXPECT_EQ(30, time.wSecond);
    EXPECT_EQ(2, SendMessageA(second.control(TabId), TCM_GETCURSEL, 0, 0));
}

// The main window's layout: two push buttons, two drop-down lists, statics.
TEST(ControlStateStore, SavesTheMainDialogAsFourValues)
{
    TestRegistryKey key;
    TestDialog dialog;
    dialog.add("Button", "Zyklomatrix", BS_GROUPBOX, NoId);
    dialog.add("Static", "Messdauer", SS_RIGHT, NoId);
    fillList(dialog.add("ComboBox", "", CBS_DROPDOWNLIST | WS_VSCROLL, 1000), CB_ADDSTRING);
    dialog.add("Static", "Wiederholungen", SS_RIGHT, NoId);
    fillList(dialog.add("ComboBox", "", CBS_DROPDOWNLIST | WS_VSCROLL, 1001), CB_ADDSTRING);
    dialog.add("Button", "Test", BS_DEFPUSHBUTTON, 1);
    dialog.add("Button", "ESC", BS_PUSHBUTTON, 2);
    dialog.add("Static", "", SS_SUNKEN, 1002);
    dialog.add("Static", "site", 0, 1003);
    dialog.add("Static", "MHz", 0, 1004);
    SendMessageA(dialog.control(1000), CB_SETCURSEL, 3, 0);
    SendMessageA(dialog.control(1001), CB_SETCURSEL, 0, 0);

    SetValueRecorder recorder;
    SaveControls(dialog.window(), key.path());

    EXPECT_EQ(4u, recorder.calls().size());
    EXPECT_EQ((std::set<std::string>{"1", "2", "33220", "33221"}), key.names());
    const ExpectedValue expected[] = {
        {"1", REG_SZ, "0"}, {"2", REG_SZ, "0"}, {"33220", REG_SZ, "3"}, {"33221", REG_SZ, "0"}};
    for (const ExpectedValue& value : expected)
        expectStored(value, recorder, key);
}

TEST(ControlStateStore, EmptyEditKeepsTheEarlierValue)
{
    TestRegistryKey key;
    key.write("33220", REG_SZ, textWithZero("vorher"));
    TestDialog dialog;
    dialog.add("Edit", "", 0, 1000);
    dialog.add("Edit", "", 0, 1001);

    SaveControls(dialog.window(), key.path());

    EXPECT_EQ(textWithZero("vorher"), key.read("33220").data);
    EXPECT_FALSE(key.read("33221").present);
}

// Restoring leaves every control as it was when the key is missing.
TEST(ControlStateStore, MissingKeyLeavesControlsAlone)
{
    TestRegistryKey key;
    TestDialog dialog;
    addAllClasses(dialog);
    setUserStates(dialog);

    RestoreControls(dialog.window(), key.path());

    EXPECT_EQ("Hallo Welt", WindowText(dialog.control(EditId)));
    EXPECT_EQ(BST_CHECKED, SendMessageA(dialog.control(CheckId), BM_GETCHECK, 0, 0));
    EXPECT_EQ(2, SendMessageA(dialog.control(ListId), LB_GETCURSEL, 0, 0));
    EXPECT_EQ(3, SendMessageA(dialog.control(DropListId), CB_GETCURSEL, 0, 0));
    EXPECT_EQ(storedHotkey, SendMessageA(dialog.control(HotkeyId), HKM_GETHOTKEY, 0, 0));
    EXPECT_EQ(2, SendMessageA(dialog.control(TabId), TCM_GETCURSEL, 0, 0));
    HKEY opened = nullptr;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExA(HKEY_CURRENT_USER, key.path(), 0, KEY_READ, &opened))
        << "restoring must not create the key";
}

}  // namespace
