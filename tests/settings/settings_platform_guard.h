#pragma once
#include "settings/settings_platform.h"

// Saves the settings platform table and restores it on scope exit, so that a
// test can install fakes in it.
class SettingsPlatformGuard {
public:
    SettingsPlatformGuard() : saved_(settingsPlatform()) {}
    ~SettingsPlatformGuard() { settingsPlatform() = saved_; }
    SettingsPlatformGuard(const SettingsPlatformGuard&) = delete;
    SettingsPlatformGuard& operator=(const SettingsPlatformGuard&) = delete;

private:
    SettingsPlatform saved_;
};
