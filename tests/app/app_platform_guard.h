#pragma once

#include "app/app_platform.h"
#include "platform_guard.h"

using AppPlatformGuard = PlatformGuard<AppPlatform, appPlatform>;
