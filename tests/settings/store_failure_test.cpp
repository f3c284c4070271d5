// Registry failures: a failed save ends the walk at that control, a key that
// does not open leaves the controls alone.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "control_test_support.h"
#include "set_value_recorder.h"
#include "support/platform_guard.h"

namespace {

std::string textWithZero(const char* text)
{
    return std::string(text, strlen(text) + 1);
}

TEST(StoreFailure, FailedWriteEndsTheWalkAtThatControl)
{
    TestRegistryKey key;
    for (const char* name : {"33220", "33221", "33222"})
        key.write(name, REG_SZ, textWithZero("alt"));
    TestDialog dialog;
    dialog.add("Edit", "neu eins", 0, 1000);
    dialog.add("Edit", "neu zwei", 0, 1001);
    dialog.add("Edit", "neu drei", 0, 1002);

    SetValueRecorder recorder("33221");
    SaveControls(dialog.window(), key.path());

    ASSERT_EQ(2u, recorder.calls().size()) << "the control after the failed one is not saved";
    EXPECT_EQ("33220", recorder.calls()[0].name);
    EXPECT_EQ("33221", recorder.calls()[1].name);
    EXPECT_EQ(textWithZero("neu eins"), key.read("33220").data);
    EXPECT_EQ(textWithZero("alt"), key.read("33221").data);
    EXPECT_EQ(textWithZero("alt"), key.read("33222").data);
}

int createAttempts = 0;

LONG WINAPI refuseCreate(HKEY, LPCSTR, DWORD, LPSTR, DWORD, REGSAM, LPSECURITY_ATTRIBUTES, PHKEY, LPDWORD)
{
    ++createAttempts;
    return ERROR_ACCESS_DENIED;
}

TEST(StoreFailure, KeyThatCannotBeCreatedEndsTheWalk)
{
    TestRegistryKey key;
    TestDialog dialog;
    dialog.add("Button", "Eins", BS_AUTOCHECKBOX, 1000);
    dialog.add("Edit", "Zwei", 0, 1001);

    SettingsPlatformGuard guard;
    settingsPlatform().RegCreateKeyExA = refuseCreate;
    createAttempts = 0;
    SaveControls(dialog.window(), key.path());

    EXPECT_EQ(1, createAttempts);
    HKEY opened = nullptr;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExA(HKEY_CURRENT_USER, key.path(), 0, KEY_READ, &opened));
}

// The key exists and holds values, but opening it for reading fails.
LONG WINAPI refuseOpen(HKEY, LPCSTR, DWORD, REGSAM, PHKEY)
{
    return ERROR_ACCESS_DENIED;
}

TEST(StoreFailure, KeyThatCannotBeOpenedLeavesControlsAlone)
{
    TestRegistryKey key;
    key.write("33220", REG_SZ, textWithZero("gespeichert"));
    key.write("33221", REG_SZ, "1");
    DWORD index = 2;
    key.write("33222", REG_DWORD, &index, sizeof index);
    TestDialog dialog;
    HWND edit = dialog.add("Edit", "vorher", 0, 1000);
    HWND check = dialog.add("Button", "Zwei", BS_AUTOCHECKBOX, 1001);
    HWND list = dialog.add("ListBox", "", 0, 1002);
    for (const char* entry : {"a", "b", "c"})
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));

    SettingsPlatformGuard guard;
    settingsPlatform().RegOpenKeyExA = refuseOpen;
    RestoreControls(dialog.window(), key.path());

    EXPECT_EQ("vorher", WindowText(edit));
    EXPECT_EQ(BST_UNCHECKED, SendMessageA(check, BM_GETCHECK, 0, 0));
    EXPECT_EQ(LB_ERR, SendMessageA(list, LB_GETCURSEL, 0, 0));
}

// A request without key path would address HKEY_CURRENT_USER itself.
TEST(StoreFailure, RequestWithoutKeyPathTouchesNothing)
{
    TestDialog dialog;
    dialog.add("Edit", "Text", 0, 1000);

    SetValueRecorder recorder;
    SaveControls(dialog.window(), nullptr);

    EXPECT_TRUE(recorder.calls().empty());
}

}  // namespace
