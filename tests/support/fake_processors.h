#pragma once

#include <windows.h>

#include <functional>

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

// Makes GetLogicalProcessorInformationEx report, for as long as the object
// lives, the processors a test measures under the fakes in place when it is
// made, two to a core (neighbours in one group share a core's mask), each
// core of the class classOf gives its first processor (1-based, in the order
// of the results).
class FakeCoreClasses {
public:
    explicit FakeCoreClasses(const std::function<BYTE(LONG processor)>& classOf);

    FakeCoreClasses(const FakeCoreClasses&) = delete;
    FakeCoreClasses& operator=(const FakeCoreClasses&) = delete;

private:
    MeasurePlatformGuard platform_;
};
