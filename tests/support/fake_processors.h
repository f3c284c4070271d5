#pragma once

#include <windows.h>

#include "support/platform_guard.h"

// Makes the measuring code see a machine with the given number of logical
// processors for as long as the object lives, in processor groups of 64 as
// Windows forms them, and GetSystemInfo reporting that many where the groups
// are not asked. Binding a worker to one of them succeeds without binding
// it: the workers then run, and measure, on the processors the machine has.
class FakeProcessors {
public:
    explicit FakeProcessors(DWORD count);

    FakeProcessors(const FakeProcessors&) = delete;
    FakeProcessors& operator=(const FakeProcessors&) = delete;

private:
    MeasurePlatformGuard platform_;
};
