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

namespace {

const char DesktopKey[] = "Control Panel\\Desktop";
// What Windows 10 writes there; any value other than 0 leaves processes unaware by default.
const DWORD ScalingVersion = 0x1018;

bool setDword(HKEY key, const char* name, DWORD value)
{
    return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                          sizeof value) == ERROR_SUCCESS;
}

} // namespace

WineScreenDpi::WineScreenDpi(DWORD dpi)
    : logPixels_{"LogPixels", false, 0, 0, {}}, scalingVersion_{"DpiScalingVer", false, 0, 0, {}},
      saved_(false), written_(false)
{
    saved_ = save(logPixels_) && save(scalingVersion_);
    if (!saved_)
        return;
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, DesktopKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return;
    written_ = setDword(key, logPixels_.name, dpi) && setDword(key, scalingVersion_.name, ScalingVersion);
    RegCloseKey(key);
}

WineScreenDpi::~WineScreenDpi()
{
    restore();
}

bool WineScreenDpi::save(SavedValue& value)
{
    HKEY key;
    const LONG opened = RegOpenKeyExA(HKEY_CURRENT_USER, DesktopKey, 0, KEY_QUERY_VALUE, &key);
    if (opened == ERROR_FILE_NOT_FOUND)
        return true;
    if (opened != ERROR_SUCCESS)
        return false;
    value.size = sizeof value.data;
    const LONG status = RegQueryValueExA(key, value.name, nullptr, &value.type, value.data, &value.size);
    RegCloseKey(key);
    value.present = status == ERROR_SUCCESS;
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

void WineScreenDpi::put(const SavedValue& value)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, DesktopKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return;
    if (value.present)
        RegSetValueExA(key, value.name, 0, value.type, value.data, value.size);
    else
        RegDeleteValueA(key, value.name);
    RegCloseKey(key);
}

void WineScreenDpi::restore()
{
    if (!saved_)
        return;
    put(logPixels_);
    put(scalingVersion_);
    saved_ = false;
}
