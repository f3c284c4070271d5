#include "app/programming_error.h"

#include <atomic>

namespace {

// Set once before any window exists, read on whichever thread misbehaves.
std::atomic<ProgrammingErrorHandler> installed{nullptr};

}  // namespace

ProgrammingErrorHandler setProgrammingErrorHandler(ProgrammingErrorHandler handler)
{
    return installed.exchange(handler);
}

void reportProgrammingError(const char* what)
{
    ProgrammingErrorHandler handler = installed.load();
    if (handler != nullptr)
        handler(what);
}
