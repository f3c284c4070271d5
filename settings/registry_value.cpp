#include "settings/registry_value.h"

#include "settings/registry_key.h"
#include "settings/settings_platform.h"

DWORD QueryValueSize(HKEY root, const char* keyPath, const char* valueName, DWORD type)
{
    RegistryKey key;
    if (key.open(root, keyPath, KEY_READ) != ERROR_SUCCESS)
        return 0;
    // A capacity of 0 with a data address that is not null makes the query
    // answer ERROR_MORE_DATA and the size for any value that is not empty.
    DWORD size = 0;
    LONG status = settingsPlatform().RegQueryValueExA(key.get(), valueName, nullptr, &type,
                                                      reinterpret_cast<BYTE*>(&size), &size);
    key.close();
    return status == ERROR_MORE_DATA ? size : 0;
}

BOOL WriteRegistryValue(HKEY root, const char* keyPath, const char* valueName, const void* data,
                        DWORD size, DWORD type)
{
    RegistryKey key;
    if (key.open(root, keyPath, KEY_WRITE) != ERROR_SUCCESS &&
        key.create(root, keyPath, KEY_WRITE) != ERROR_SUCCESS)
        return FALSE;
    LONG status = settingsPlatform().RegSetValueExA(key.get(), valueName, 0, type,
                                                    static_cast<const BYTE*>(data), size);
    return status == ERROR_SUCCESS;
}

BOOL ReadRegistryValue(HKEY root, const char* keyPath, const char* valueName, void* data, DWORD& size)
{
    RegistryKey key;
    if (key.open(root, keyPath, KEY_READ) != ERROR_SUCCESS)
        return FALSE;
    LONG status = settingsPlatform().RegQueryValueExA(key.get(), valueName, nullptr, nullptr,
                                                      static_cast<BYTE*>(data), &size);
    return status == ERROR_SUCCESS;
}
