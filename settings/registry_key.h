#pragma once
#include <windows.h>

// An open registry key, closed when the object goes. Non-copyable.
class RegistryKey {
public:
    RegistryKey() = default;
    ~RegistryKey() { close(); }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    // Both return the registry call's own status; the key stays closed on failure.
    LONG open(HKEY root, const char* path, REGSAM access);
    LONG create(HKEY root, const char* path, REGSAM access);
    void close();

    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};
