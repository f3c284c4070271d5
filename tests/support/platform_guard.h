#pragma once

#include "app/app_platform.h"
#include "link/link_platform.h"
#include "measure/measure_platform.h"
#include "processor/power_platform.h"
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

// The measuring code reaches the system through three tables, the timed operations', the
// processor's and the power settings': a test that fakes the measuring code's platform gets
// all of them back as they were.
class MeasurePlatformGuard {
private:
    PlatformGuard<MeasurePlatform, measurePlatform> timed_;
    ProcessorPlatformGuard processor_;
    PlatformGuard<PowerPlatform, powerPlatform> power_;
};
