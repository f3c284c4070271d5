#include "wine_settings.h"

#include <windows.h>

#include <string>

bool runningUnderWine()
{
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

bool setWineVersionFor(const char* exeName, const char* version)
{
    const std::string path = std::string("Software\\Wine\\AppDefaults\\") + exeName;
    if (version == nullptr || *version == '\0') {
        const LONG status = RegDeleteKeyA(HKEY_CURRENT_USER, path.c_str());
        return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
    }
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    const LONG status = RegSetValueExA(key, "Version", 0, REG_SZ,
                                       reinterpret_cast<const BYTE*>(version),
                                       static_cast<DWORD>(lstrlenA(version) + 1));
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

ReportedWindowsVersion::ReportedWindowsVersion(const char* exeName, const char* version)
    : exeName_(exeName), written_(false)
{
    written_ = setWineVersionFor(exeName_, nullptr) && setWineVersionFor(exeName_, version);
}

ReportedWindowsVersion::~ReportedWindowsVersion()
{
    setWineVersionFor(exeName_, nullptr);
}
