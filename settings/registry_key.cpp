#include "settings/registry_key.h"

#include "settings/settings_platform.h"

LONG RegistryKey::open(HKEY root, const char* path, REGSAM access)
{
    close();
    HKEY key = nullptr;
    LONG status = settingsPlatform().RegOpenKeyExA(root, path, 0, access, &key);
    if (status == ERROR_SUCCESS)
        key_ = key;
    return status;
}

LONG RegistryKey::create(HKEY root, const char* path, REGSAM access)
{
    close();
    HKEY key = nullptr;
    LONG status = settingsPlatform().RegCreateKeyExA(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                                     access, nullptr, &key, nullptr);
    if (status == ERROR_SUCCESS)
        key_ = key;
    return status;
}

void RegistryKey::close()
{
    if (key_) {
        settingsPlatform().RegCloseKey(key_);
        key_ = nullptr;
    }
}
