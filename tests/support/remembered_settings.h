#pragma once

#include <string>

// The program's remembered settings: one REG_SZ value per control under a
// key of the current user.

// The key, under HKEY_CURRENT_USER.
extern const char RememberedSettingsKey[];

// Deletes the key and its values.
void forgetRememberedSettings();

bool rememberedSettingsExist();

// The text of a remembered value; "<missing>" when it is absent and
// "<type N>" when it is not REG_SZ. The value is stored without its
// terminating zero; whether a reader gets one added depends on the platform,
// so the text ends at the first zero.
std::string rememberedValue(const char* name);
