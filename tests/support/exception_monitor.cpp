#include "exception_monitor.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "measure/fault_guard.h"

namespace {

const DWORD SeverityShift = 30;
const DWORD SeverityInformational = 1;

// The codes the C++ runtime raises on x64 to throw and to unwind.
const DWORD CppThrow = 0x20474343;
const DWORD CppUnwind = 0x21474343;
const DWORD CppForcedUnwind = 0x22474343;

const long Capacity = 64;

// Written by the handler on whichever thread raised, read by the test's
// thread: guarded by a lock of its own, which nothing holds while it could
// raise an exception.
CRITICAL_SECTION lock;
SeenException seen[Capacity];
long noted = 0;

bool passedOver(DWORD code)
{
    if ((code >> SeverityShift) == SeverityInformational)
        return true;
    return code == CppThrow || code == CppUnwind || code == CppForcedUnwind;
}

LONG CALLBACK noteException(EXCEPTION_POINTERS* pointers)
{
    const EXCEPTION_RECORD* record = pointers->ExceptionRecord;
    if (passedOver(record->ExceptionCode))
        return EXCEPTION_CONTINUE_SEARCH;
    // Every exception of the process comes through here: the thread's last
    // error stays as the code that raised left it.
    const DWORD lastError = GetLastError();
    if (!IsInsideGuardedCall()) {
        EnterCriticalSection(&lock);
        if (noted < Capacity) {
            SeenException& entry = seen[noted];
            entry.code = record->ExceptionCode;
            entry.address = record->ExceptionAddress;
            entry.threadId = GetCurrentThreadId();
            entry.parameterCount = record->NumberParameters < 2 ? record->NumberParameters : 2;
            for (DWORD i = 0; i < 2; ++i)
                entry.parameters[i] = i < entry.parameterCount ? record->ExceptionInformation[i] : 0;
        }
        ++noted;
        LeaveCriticalSection(&lock);
    }
    SetLastError(lastError);
    return EXCEPTION_CONTINUE_SEARCH;
}

const char* nameOf(DWORD code)
{
    switch (code) {
    case STATUS_ACCESS_VIOLATION: return "access violation";
    case STATUS_IN_PAGE_ERROR: return "in-page error";
    case STATUS_ILLEGAL_INSTRUCTION: return "illegal instruction";
    case STATUS_PRIVILEGED_INSTRUCTION: return "privileged instruction";
    case STATUS_INTEGER_DIVIDE_BY_ZERO: return "integer division by zero";
    case STATUS_STACK_OVERFLOW: return "stack overflow";
    case STATUS_BREAKPOINT: return "breakpoint";
    case 0xC0000374: return "heap corruption";
    case 0xC0000409: return "stack buffer overrun";
    default: return nullptr;
    }
}

const char* accessOf(ULONG_PTR kind)
{
    switch (kind) {
    case 0: return "read of";
    case 1: return "write to";
    case 8: return "execution of";
    default: return "access to";
    }
}

}  // namespace

std::string describe(const SeenException& exception)
{
    char text[256];
    int length = snprintf(text, sizeof text, "exception 0x%08lX", exception.code);
    const char* name = nameOf(exception.code);
    const bool access = exception.code == STATUS_ACCESS_VIOLATION || exception.code == STATUS_IN_PAGE_ERROR;
    if (name != nullptr && access && exception.parameterCount == 2)
        length += snprintf(text + length, sizeof text - length, " (%s, %s %p)", name,
                           accessOf(exception.parameters[0]),
                           reinterpret_cast<const void*>(exception.parameters[1]));
    else if (name != nullptr)
        length += snprintf(text + length, sizeof text - length, " (%s)", name);
    snprintf(text + length, sizeof text - length, " at %p on thread %lu", exception.address,
             exception.threadId);
    return text;
}

bool startExceptionMonitor()
{
    static const bool started = [] {
        InitializeCriticalSection(&lock);
        // First in line for now; the fault guard, once set up, puts its own
        // handler before this one and takes its faults before they get here.
        return AddVectoredExceptionHandler(1, noteException) != nullptr;
    }();
    return started;
}

std::vector<SeenException> takeSeenExceptions(long* notedSince)
{
    std::vector<SeenException> taken;
    if (!startExceptionMonitor())
        return taken;
    taken.reserve(Capacity);
    EnterCriticalSection(&lock);
    taken.assign(seen, seen + (noted < Capacity ? noted : Capacity));
    if (notedSince != nullptr)
        *notedSince = noted;
    noted = 0;
    LeaveCriticalSection(&lock);
    return taken;
}

void failForSeenExceptions(const char* when)
{
    long count = 0;
    const std::vector<SeenException> taken = takeSeenExceptions(&count);
    for (const SeenException& exception : taken)
        ADD_FAILURE() << when << describe(exception) << ", which nothing took on purpose";
    if (count > static_cast<long>(taken.size()))
        ADD_FAILURE() << when << count - static_cast<long>(taken.size()) << " more exceptions";
}
