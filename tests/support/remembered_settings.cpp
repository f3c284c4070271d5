#include "remembered_settings.h"

#include <windows.h>

const char RememberedSettingsKey[] = "Software\\Quellwerk\\Zyklomatrix\\Dlg";

void forgetRememberedSettings()
{
    RegDeleteKeyA(HKEY_CURRENT_USER, RememberedSettingsKey);
}

bool rememberedSettingsExist()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, RememberedSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

std::string rememberedValue(const char* name)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, RememberedSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "<missing>";
    char data[64] = {};
    DWORD type = 0, size = sizeof data - 1;
    const LONG status =
        RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS)
        return "<missing>";
    if (type != REG_SZ)
        return "<type " + std::to_string(type) + ">";
    return std::string(data);
}
