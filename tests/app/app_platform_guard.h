#ifndef ZYK_TESTS_APP_APP_PLATFORM_GUARD_H
#define ZYK_TESTS_APP_APP_PLATFORM_GUARD_H

#include "app/app_platform.h"

// Saves the framework's platform table and restores it on scope exit, so a
// test can install fakes in it.
class AppPlatformGuard {
public:
    AppPlatformGuard() : saved(appPlatform()) {}
    ~AppPlatformGuard() { appPlatform() = saved; }

    AppPlatformGuard(const AppPlatformGuard&) = delete;
    AppPlatformGuard& operator=(const AppPlatformGuard&) = delete;

private:
    AppPlatform saved;
};

#endif
