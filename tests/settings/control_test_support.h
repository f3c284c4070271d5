#pragma once
#include <windows.h>

#include <set>
#include <string>

// A key of its own under HKEY_CURRENT_USER\Software for one test, deleted with
// everything below it when the object goes.
class TestRegistryKey {
public:
    TestRegistryKey();  // named after the running test
    ~TestRegistryKey();
    TestRegistryKey(const TestRegistryKey&) = delete;
    TestRegistryKey& operator=(const TestRegistryKey&) = delete;

    const char* path() const { return path_.c_str(); }

    struct Value {
        bool present = false;
        DWORD type = 0;
        std::string data;  // the stored bytes, as stored
    };
    Value read(const char* name) const;
    std::set<std::string> names() const;
    void write(const char* name, DWORD type, const void* data, DWORD size) const;
    void write(const char* name, DWORD type, const std::string& data) const
    {
        write(name, type, data.data(), static_cast<DWORD>(data.size()));
    }

private:
    std::string path_;
};

// A real dialog window, empty at first, that the test fills with child
// controls. Destroyed with its children when the object goes.
class TestDialog {
public:
    TestDialog();
    ~TestDialog();
    TestDialog(const TestDialog&) = delete;
    TestDialog& operator=(const TestDialog&) = delete;

    HWND window() const { return dialog_; }
    HWND add(const char* className, const char* text, DWORD style, int identifier);
    HWND control(int identifier) const { return GetDlgItem(dialog_, identifier); }

private:
    HWND dialog_ = nullptr;
};

// Walk the dialog's children as the store's callers do.
void WalkControls(HWND dialog, const char* keyPath, int nameByText, int mode);
void SaveControls(HWND dialog, const char* keyPath, int nameByText = 0);
void RestoreControls(HWND dialog, const char* keyPath, int nameByText = 0);

std::string WindowText(HWND window);
