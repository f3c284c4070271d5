// The few C++ runtime entry points that the program's compiled code calls: the heap operators,
// the trap for a call of a pure virtual function and the guard of a function-local static.
//
// The program throws no exceptions and allocates only with the nothrow forms of new. The
// library versions of these entry points are written for programs that do: each one reaches
// the exception machinery (unwinder, type information, terminate handlers, a name demangler),
// and the guard also reaches the thread library. Defined here, none of that is linked in.
#include <windows.h>

#include <stdlib.h>

#include <new>

// Heap operators: objects live on the runtime library's heap, like the program's texts.
// A request for zero bytes still gets a block of its own, as the language requires.

void* operator new(size_t size, const std::nothrow_t&) noexcept
{
    return malloc(size != 0 ? size : 1);
}

void* operator new[](size_t size, const std::nothrow_t&) noexcept
{
    return malloc(size != 0 ? size : 1);
}

void operator delete(void* block) noexcept
{
    free(block);
}

void operator delete[](void* block) noexcept
{
    free(block);
}

void operator delete(void* block, size_t) noexcept
{
    free(block);
}

void operator delete[](void* block, size_t) noexcept
{
    free(block);
}

// A pure virtual function called while its object is being built or torn down: a defect of
// the program. It ends the way the library's terminate ends, through abort.
extern "C" void __cxa_pure_virtual()
{
    abort();
}

// Guards of function-local statics. The compiler tests the guard's first byte itself (nonzero:
// initialised) and calls __cxa_guard_acquire only while it is zero. Bytes 4 to 7 hold the id
// of the thread that is running the initialiser, 0 while none is. Threads that find another
// one initialising wait until it has finished or given up; a thread that finds itself there
// has re-entered its own initialiser, which can never finish, so it ends the program as the
// library does. Thread ids are never 0. Byte 1 locks bytes 4 to 7 while a thread claims the
// guard: the lock is taken with XCHG, which every x86 processor has, where a compare-and-swap
// would need a 486.

namespace {

unsigned char* DoneFlag(unsigned long long* guard)
{
    return reinterpret_cast<unsigned char*>(guard);
}

DWORD* InitialisingThread(unsigned long long* guard)
{
    return reinterpret_cast<DWORD*>(reinterpret_cast<unsigned char*>(guard) + 4);
}

unsigned char* ClaimLock(unsigned long long* guard)
{
    return reinterpret_cast<unsigned char*>(guard) + 1;
}

bool Initialised(unsigned long long* guard)
{
    return __atomic_load_n(DoneFlag(guard), __ATOMIC_ACQUIRE) != 0;
}

// Makes self the initialising thread unless another one is; returns the one found there,
// 0 when the claim succeeded.
DWORD Claim(unsigned long long* guard, DWORD self)
{
    while (__atomic_exchange_n(ClaimLock(guard), 1, __ATOMIC_ACQUIRE) != 0)
        Sleep(1);
    DWORD owner = __atomic_load_n(InitialisingThread(guard), __ATOMIC_RELAXED);
    if (owner == 0)
        __atomic_store_n(InitialisingThread(guard), self, __ATOMIC_RELAXED);
    __atomic_store_n(ClaimLock(guard), 0, __ATOMIC_RELEASE);
    return owner;
}

}  // namespace

extern "C" int __cxa_guard_acquire(unsigned long long* guard)
{
    const DWORD self = GetCurrentThreadId();
    for (;;) {
        if (Initialised(guard))
            return 0;
        DWORD owner = Claim(guard, self);
        if (owner == 0) {
            // The previous owner may have finished between the test above and the claim.
            if (!Initialised(guard))
                return 1;
            __atomic_store_n(InitialisingThread(guard), 0, __ATOMIC_RELEASE);
            return 0;
        }
        if (owner == self)
            abort();
        // Sleep(1) rather than Sleep(0), so that a waiter of higher priority cannot keep the
        // initialising thread from running.
        Sleep(1);
    }
}

extern "C" void __cxa_guard_release(unsigned long long* guard)
{
    __atomic_store_n(DoneFlag(guard), 1, __ATOMIC_RELEASE);
    __atomic_store_n(InitialisingThread(guard), 0, __ATOMIC_RELEASE);
}

extern "C" void __cxa_guard_abort(unsigned long long* guard)
{
    __atomic_store_n(InitialisingThread(guard), 0, __ATOMIC_RELEASE);
}
