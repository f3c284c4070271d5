#include "control_test_support.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "settings/control_state_store.h"
#include "support/dialog_template.h"

namespace {

// The rich-edit classes live in their own libraries; the others need the
// common controls registered.
void prepareControlClasses()
{
    static bool prepared = false;
    if (prepared)
        return;
    prepared = true;
    LoadLibraryA("riched32.dll");
    LoadLibraryA("riched20.dll");
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_INTERNET_CLASSES | ICC_HOTKEY_CLASS |
                                                        ICC_DATE_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&classes);
}

INT_PTR CALLBACK emptyDialogProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

}  // namespace

TestRegistryKey::TestRegistryKey()
{
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    path_ = "Software\\ZyklomatrixSettingsTest_";
    path_ += test ? std::string(test->test_suite_name()) + "_" + test->name() : "outside";
    for (char& c : path_)
        if (c == '/')
            c = '_';
    RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());  // left over from an aborted run
}

TestRegistryKey::~TestRegistryKey()
{
    RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, path_.c_str());
}

// Read through the wide interface, which returns the stored bytes as they
// are: the ANSI interface may add a terminating zero to a text that was
// stored without one.
TestRegistryKey::Value TestRegistryKey::read(const char* name) const
{
    Value value;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return value;
    std::wstring wideName(name, name + strlen(name));
    DWORD size = 0;
    if (RegQueryValueExW(key, wideName.c_str(), nullptr, &value.type, nullptr, &size) == ERROR_SUCCESS) {
        std::vector<BYTE> data(size + 2);
        if (RegQueryValueExW(key, wideName.c_str(), nullptr, &value.type, data.data(), &size) ==
            ERROR_SUCCESS) {
            value.present = true;
            if (value.type == REG_SZ) {
                // One byte per stored UTF-16 unit, zeros included.
                const WCHAR* units = reinterpret_cast<const WCHAR*>(data.data());
                int count = static_cast<int>(size / sizeof(WCHAR));
                if (count > 0) {
                    value.data.resize(count * 2);
                    int bytes = WideCharToMultiByte(CP_ACP, 0, units, count, &value.data[0],
                                                    count * 2, nullptr, nullptr);
                    value.data.resize(bytes);
                }
            } else {
                value.data.assign(reinterpret_cast<const char*>(data.data()), size);
            }
        }
    }
    RegCloseKey(key);
    return value;
}

std::set<std::string> TestRegistryKey::names() const
{
    std::set<std::string> result;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return result;
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD length = sizeof name;
        if (RegEnumValueA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        result.insert(std::string(name, length));
    }
    RegCloseKey(key);
    return result;
}

void TestRegistryKey::write(const char* name, DWORD type, const void* data, DWORD size) const
{
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0,
                                             KEY_WRITE, nullptr, &key, nullptr));
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size))
        << "value " << name;
    RegCloseKey(key);
}

TestDialog::TestDialog()
{
    prepareControlClasses();
    const DialogTemplate empty(WS_POPUP | WS_CAPTION, 400, 300, "");
    dialog_ = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), empty.get(), nullptr,
                                         emptyDialogProc, 0);
}

TestDialog::~TestDialog()
{
    if (dialog_)
        DestroyWindow(dialog_);
}

HWND TestDialog::add(const char* className, const char* text, DWORD style, int identifier)
{
    // Lists need room to drop down; the position does not matter otherwise.
    bool list = strcmp(className, "ComboBox") == 0 || strcmp(className, "ListBox") == 0;
    return CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | style, 10, 10, 200,
                           list ? 150 : 22, dialog_,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(identifier)),
                           GetModuleHandleA(nullptr), nullptr);
}

void WalkControls(HWND dialog, const char* keyPath, int nameByText, int mode)
{
    ControlStateRequest request = {dialog, keyPath, nameByText, mode};
    if (dialog && IsWindow(dialog))
        EnumChildWindows(dialog, VisitChildControl, reinterpret_cast<LPARAM>(&request));
}

void SaveControls(HWND dialog, const char* keyPath, int nameByText)
{
    WalkControls(dialog, keyPath, nameByText, 1);
}

void RestoreControls(HWND dialog, const char* keyPath, int nameByText)
{
    WalkControls(dialog, keyPath, nameByText, 0);
}

std::string WindowText(HWND window)
{
    int length = GetWindowTextLengthA(window);
    std::vector<char> text(length + 1);
    GetWindowTextA(window, text.data(), length + 1);
    return text.data();
}
