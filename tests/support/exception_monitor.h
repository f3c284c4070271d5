#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Notes every exception raised on any thread of the test program that
// nothing takes on purpose, so that a test fails on a fault the platform
// would otherwise swallow: Wine, like x64 Windows, ignores an exception that
// escapes a window procedure, and the program then simply carries on.
//
// Passed over: exceptions raised inside CallGuarded (the fault guard takes
// them on purpose), exceptions of informational severity (debugger output,
// thread naming) and the C++ runtime's own exceptions, which are how a C++
// throw travels on x64 and are caught by C++ handlers (gtest's among them);
// on x86 a throw raises no exception at all.

struct SeenException {
    DWORD code;
    const void* address;    // where it was raised
    DWORD threadId;
    DWORD parameterCount;   // of the two below that the exception gave
    ULONG_PTR parameters[2];  // access violation: 0 read, 1 write, 8 execute; the address touched
};

// "exception 0xC0000005 (access violation, execute 0x...) at 0x... on thread N".
std::string describe(const SeenException& exception);

// Installs the monitor, once for the process; it stays until the process
// ends. Returns false when it cannot be installed.
bool startExceptionMonitor();

// The exceptions noted since the last call, oldest first; they are forgotten.
// A test that raises one on purpose outside a guard takes it here and checks
// it. At most 64 are kept between calls; notedSince counts them all.
std::vector<SeenException> takeSeenExceptions(long* notedSince = nullptr);

// Fails the running test once for each exception noted since the last call,
// naming its code and address; when is put before each description.
void failForSeenExceptions(const char* when);
