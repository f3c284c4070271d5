#ifndef ZYK_APP_PROC_TRAMPOLINE_H
#define ZYK_APP_PROC_TRAMPOLINE_H

#include "app/trampoline_code.h"

// A stub of executable code that calls procedure with object in place of its
// first argument, in storage of its own: data and stacks are not executable
// where data execution prevention is on. The storage is written while
// writable, then made executable and read-only, and the instruction cache is
// flushed over it. It is released with the object.
class ProcTrampoline {
public:
    ProcTrampoline();
    ~ProcTrampoline();

    // Allocates the storage if needed and writes the stub. Returns true when
    // the stub is ready to run. Writing the bytes it already holds changes
    // nothing, so a live stub is never made writable again for that.
    // On failure entry() may still be set but the stub must not be used.
    bool write(const void* object, const void* procedure);

    // Frees the storage. The stub must no longer be reachable.
    void release();

    // The stub's entry point, null before the storage exists.
    void* entry() const { return code; }

    // Whether the stub is written and executable.
    bool isReady() const { return ready; }

private:
    ProcTrampoline(const ProcTrampoline&) = delete;
    ProcTrampoline& operator=(const ProcTrampoline&) = delete;

    unsigned char* code;
    bool ready;
};

#endif
