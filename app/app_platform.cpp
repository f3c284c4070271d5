#include "app/app_platform.h"

AppPlatform& appPlatform()
{
    static AppPlatform platform;
    return platform;
}
