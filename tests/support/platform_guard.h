#pragma once

#include "app/app_platform.h"
#include "link/link_platform.h"
#include "measure/measure_platform.h"
#include "processor/processor_platform.h"
#include "settings/settings_platform.h"

// Saves a subsystem's platform table and restores it on scope exit, so that a
// test can install fakes in it without leaking them into the next test.
template <typename Platform, Platform& (*current)()>
class PlatformGuard {
public:
    PlatformGuard() : saved(current()) {}
    ~PlatformGuard() { current() = saved; }

    PlatformGuard(const PlatformGuard&) = delete;
    PlatformGuard& operator=(const PlatformGuard&) = delete;

private:
    Platform saved;
};

using AppPlatformGuard = PlatformGuard<AppPlatform, appPlatform>;
using LinkPlatformGuard = PlatformGuard<LinkPlatform, linkPlatform>;
using ProcessorPlatformGuard = PlatformGuard<ProcessorPlatform, processorPlatform>;
using SettingsPlatformGuard = PlatformGuard<SettingsPlatform, settingsPlatform>;

// The measuring code reaches the system through two tables, the timed operations' and the
// processor's: a test that fakes the measuring code's platform gets both back as they were.
class MeasurePlatformGuard {
private:
    PlatformGuard<MeasurePlatform, measurePlatform> timed_;
    ProcessorPlatformGuard processor_;
};
