#pragma once

#include "platform_guard.h"
#include "settings/settings_platform.h"

using SettingsPlatformGuard = PlatformGuard<SettingsPlatform, settingsPlatform>;
