// Value names: identifiers in base 4, and buttons and combo boxes named by
// their text.
#include <windows.h>
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "control_test_support.h"
#include "set_value_recorder.h"
#include "settings/value_name.h"

namespace {

TEST(ValueName, IdentifierInBase4)
{
    const struct {
        int identifier;
        const char* name;
    } cases[] = {
        {0, "0"},
        {1, "1"},
        {3, "3"},
        {4, "10"},
        {63, "333"},
        {64, "1000"},
        {1000, "33220"},
        {1001, "33221"},
        {0xFFFE, "33333332"},
        {0x7FFFFFFF, "1333333333333333"},
        // A negative identifier is read as its unsigned 32-bit value.
        {-2, "3333333333333332"},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(c.name, Base4ValueName(c.identifier)) << "identifier " << c.identifier;
}

struct NamedControl {
    const char* className;
    DWORD style;
    const char* text;
    int identifier;
    const char* name;  // expected with naming by text
};

const NamedControl namedControls[] = {
    {"Button", BS_AUTOCHECKBOX, "", 1000, "33220"},
    {"Button", BS_AUTOCHECKBOX, "A", 1001, "33221"},
    {"Button", BS_AUTOCHECKBOX, "X", 5, "11"},
    {"Button", BS_AUTOCHECKBOX, "OK", 1002, "OK"},
    {"Button", BS_AUTOCHECKBOX, "Abc", 1003, "Abc"},
    {"Button", BS_AUTOCHECKBOX, "Zeitmessung", 1004, "Zei"},
    {"ComboBox", CBS_DROPDOWN, "Wert", 1005, "Wer"},
    {"ComboBox", CBS_DROPDOWN, "", 1006, "33232"},
    // Other classes keep their identifier whatever their text.
    {"Edit", 0, "Hallo", 1007, "33233"},
};

TEST(ValueName, ButtonsAndComboBoxesNamedByText)
{
    TestRegistryKey key;
    TestDialog dialog;
    std::set<std::string> expected;
    for (const NamedControl& control : namedControls) {
        HWND window = dialog.add(control.className, control.text, control.style, control.identifier);
        ASSERT_NE(nullptr, window) << control.className << " '" << control.text << "'";
        SetWindowTextA(window, control.text);  // a combo box takes no text at creation
        expected.insert(control.name);
    }

    SaveControls(dialog.window(), key.path(), 1);

    EXPECT_EQ(expected, key.names());
    TestRegistryKey::Value combo = key.read("Wer");
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), combo.type);
    EXPECT_EQ("-1", combo.data.substr(0, combo.data.find('\0'))) << "typed text, no entry selected";
}

TEST(ValueName, NamedByTextRestoresTheSameButtons)
{
    TestRegistryKey key;
    const struct {
        const char* text;
        int identifier;
        bool checked;
    } boxes[] = {{"", 1000, true}, {"OK", 1001, false}, {"Zeitmessung", 1002, true}, {"Zeitlupe", 1003, false}};
    {
        TestDialog first;
        for (const auto& box : boxes)
            SendMessageA(first.add("Button", box.text, BS_AUTO3STATE, box.identifier), BM_SETCHECK,
                         box.checked ? BST_CHECKED : BST_UNCHECKED, 0);
        SaveControls(first.window(), key.path(), 1);
    }
    // The two boxes sharing their first three characters share one value:
    // the later one in the walk wins.
    EXPECT_EQ((std::set<std::string>{"33220", "OK", "Zei"}), key.names());

    TestDialog second;
    for (const auto& box : boxes)
        SendMessageA(second.add("Button", box.text, BS_AUTO3STATE, box.identifier), BM_SETCHECK,
                     BST_INDETERMINATE, 0);
    RestoreControls(second.window(), key.path(), 1);

    const struct {
        int identifier;
        LRESULT state;
    } restored[] = {{1000, BST_CHECKED}, {1001, BST_UNCHECKED}, {1002, BST_UNCHECKED}, {1003, BST_UNCHECKED}};
    for (const auto& box : restored)
        EXPECT_EQ(box.state, SendMessageA(second.control(box.identifier), BM_GETCHECK, 0, 0))
            << "button " << box.identifier;
}

}  // namespace
