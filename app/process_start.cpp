// The process entry of the x86 Zyklomatrix.exe, and of the x64 one as it is shipped, in place
// of the runtime library's start-up.
//
// The runtime's start-up code is prebuilt for the Pentium Pro (its command-line loop uses
// CMOV), so on an older processor the x86 program would fault before its first window. On
// x64 it brings what the program never uses: the splitting of arguments and environment,
// thread-local storage and its callbacks, the relocation of imported data, its own exception
// handlers, about 9 KiB in all. This entry is compiled with the program and does what the
// program needs of the runtime's: it sets the floating-point unit to the state the runtime
// leaves it in, tells the system runtime library that this is a windowed program, runs the
// constructors of the program's static objects and calls WinMain, which works out its own
// arguments (program_entry.cpp) and ends the process itself. The command-line arguments the
// runtime would split are never read.
#include <windows.h>

#include <stdlib.h>

extern "C" void __cdecl __set_app_type(int type);

namespace {

const int WindowedProgram = 2;  // _GUI_APP of the system runtime library

typedef void (*StaticRoutine)();

}  // namespace

// The linker lays out both lists as -1, the routines, then 0.
extern StaticRoutine __CTOR_LIST__[];
extern StaticRoutine __DTOR_LIST__[];

namespace {

// Destructor routines run at exit in list order, as the runtime's start-up runs them.
void RunStaticDestructors()
{
    for (StaticRoutine* routine = __DTOR_LIST__ + 1; *routine != nullptr; ++routine)
        (*routine)();
}

// Constructor routines run last to first, as the runtime's start-up runs them.
void RunStaticConstructors()
{
    StaticRoutine* last = __CTOR_LIST__;
    while (last[1] != nullptr)
        ++last;
    for (; last != __CTOR_LIST__; --last)
        (*last)();
    atexit(RunStaticDestructors);
}

}  // namespace

// The compiler registers the destructor of each static object here; the system runtime
// library runs them at exit.
extern "C" int __cdecl atexit(void (__cdecl* routine)())
{
    return _onexit(reinterpret_cast<_onexit_t>(routine)) != nullptr ? 0 : -1;
}

// The linker's default entry point name for a windowed program.
extern "C" void WinMainCRTStartup()
{
    // 64-bit precision and every exception masked: the state the runtime's start-up sets, so
    // that the program's arithmetic gives the same results with either start-up.
    asm volatile("fninit");
    __set_app_type(WindowedProgram);
    RunStaticConstructors();
    exit(WinMain(GetModuleHandleA(nullptr), nullptr, nullptr, SW_SHOWDEFAULT));
}
