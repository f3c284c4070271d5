#include "settings/settings_platform.h"

SettingsPlatform& settingsPlatform()
{
    static SettingsPlatform platform;
    return platform;
}
