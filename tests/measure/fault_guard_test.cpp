#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "measure/fault_guard.h"
#include "support/exception_monitor.h"

namespace {

// Routines that fault for real, each with the exception the processor raises.
void IllegalInstruction(void*)
{
    asm volatile("ud2");
}

void PrivilegedCli(void*)
{
    asm volatile("cli");
}

void PrivilegedHlt(void*)
{
    asm volatile("hlt");
}

void WriteToReadOnlyPage(void* page)
{
    *static_cast<volatile int*>(page) = 1;
}

void ExecuteDataPage(void* page)
{
    // The page holds a single RET but may not be executed.
    reinterpret_cast<void (*)()>(page)();
}

void DivideByZero(void* divisor)
{
    volatile int numerator = 7;
    volatile int result = numerator / *static_cast<volatile int*>(divisor);
    (void)result;
}

void Breakpoint(void*)
{
    asm volatile("int3");
}

void RaiseSoftwareException(void*)
{
    RaiseException(0xE0000001, 0, 0, nullptr);
}

void Complete(void* ran)
{
    *static_cast<int*>(ran) += 1;
}

struct Pages {
    void* readOnly;
    void* data;
    Pages()
    {
        readOnly = VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READONLY);
        data = VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        *static_cast<unsigned char*>(data) = 0xC3;
    }
    ~Pages()
    {
        VirtualFree(readOnly, 0, MEM_RELEASE);
        VirtualFree(data, 0, MEM_RELEASE);
    }
};

struct FaultCase {
    const char* name;
    GuardedRoutine routine;
    void* context;
    DWORD expectedCode;
};

std::vector<FaultCase> FaultCases(const Pages& pages, int* zero)
{
    return {
        {"ud2", IllegalInstruction, nullptr, STATUS_ILLEGAL_INSTRUCTION},
        {"cli", PrivilegedCli, nullptr, STATUS_PRIVILEGED_INSTRUCTION},
        {"hlt", PrivilegedHlt, nullptr, STATUS_PRIVILEGED_INSTRUCTION},
        {"write to a read-only page", WriteToReadOnlyPage, pages.readOnly, STATUS_ACCESS_VIOLATION},
        {"execute a data page", ExecuteDataPage, pages.data, STATUS_ACCESS_VIOLATION},
        {"integer division by zero", DivideByZero, zero, STATUS_INTEGER_DIVIDE_BY_ZERO},
        {"int3", Breakpoint, nullptr, STATUS_BREAKPOINT},
        {"RaiseException", RaiseSoftwareException, nullptr, 0xE0000001},
    };
}

TEST(FaultGuardTest, EachKindOfFaultIsTakenAndReported)
{
    Pages pages;
    int zero = 0;
    for (const FaultCase& c : FaultCases(pages, &zero)) {
        DWORD code = 0xDEADBEEF;
        EXPECT_FALSE(CallGuarded(c.routine, c.context, &code)) << c.name;
        EXPECT_EQ(c.expectedCode, code) << c.name;
    }
}

TEST(FaultGuardTest, ARoutineThatCompletesReportsSuccessAndLeavesTheCodeAlone)
{
    int ran = 0;
    DWORD code = 0xDEADBEEF;
    EXPECT_TRUE(CallGuarded(Complete, &ran, &code));
    EXPECT_EQ(1, ran);
    EXPECT_EQ(0xDEADBEEFu, code);
}

// Sets every register the caller may keep values in to garbage, then faults: the guard must
// hand the caller back its own values, although the routine's epilogue never runs.
void ClobberRegistersAndFault(void*)
{
#if defined(__x86_64__)
    asm volatile(
        "movq $-1, %%rbx\n\t"
        "movq $-1, %%rsi\n\t"
        "movq $-1, %%rdi\n\t"
        "movq $-1, %%r12\n\t"
        "movq $-1, %%r13\n\t"
        "movq $-1, %%r14\n\t"
        "movq $-1, %%r15\n\t"
        "pcmpeqd %%xmm6, %%xmm6\n\t"
        "pcmpeqd %%xmm7, %%xmm7\n\t"
        "pcmpeqd %%xmm8, %%xmm8\n\t"
        "pcmpeqd %%xmm9, %%xmm9\n\t"
        "pcmpeqd %%xmm10, %%xmm10\n\t"
        "pcmpeqd %%xmm11, %%xmm11\n\t"
        "pcmpeqd %%xmm12, %%xmm12\n\t"
        "pcmpeqd %%xmm13, %%xmm13\n\t"
        "pcmpeqd %%xmm14, %%xmm14\n\t"
        "pcmpeqd %%xmm15, %%xmm15\n\t"
        "ud2"
        :
        :
        : "rbx", "rsi", "rdi", "r12", "r13", "r14", "r15", "xmm6", "xmm7", "xmm8", "xmm9",
          "xmm10", "xmm11", "xmm12", "xmm13", "xmm14", "xmm15", "memory");
#else
    asm volatile(
        "movl $-1, %%ebx\n\t"
        "movl $-1, %%esi\n\t"
        "movl $-1, %%edi\n\t"
        "std\n\t"
        "ud2"
        :
        :
        : "ebx", "esi", "edi", "memory");
#endif
}

TEST(FaultGuardTest, TheCallersRegistersSurviveAFault)
{
    // Values live across the call sit in the registers the routine destroys.
    volatile long long seed = 3;
    long long a = seed * 2, b = seed * 3, c = seed * 5, d = seed * 7, e = seed * 11, f = seed * 13;
    double x = static_cast<double>(seed) / 2.0, y = static_cast<double>(seed) / 4.0;
    double z = static_cast<double>(seed) / 8.0;
    for (int round = 0; round < 3; ++round) {
        EXPECT_FALSE(CallGuarded(ClobberRegistersAndFault, nullptr)) << "round " << round;
        EXPECT_EQ(6, a);
        EXPECT_EQ(9, b);
        EXPECT_EQ(15, c);
        EXPECT_EQ(21, d);
        EXPECT_EQ(33, e);
        EXPECT_EQ(39, f);
        EXPECT_EQ(1.5, x);
        EXPECT_EQ(0.75, y);
        EXPECT_EQ(0.375, z);
    }
}

struct Nesting {
    bool innerCompleted = true;
    DWORD innerCode = 0;
    bool reachedAfterInner = false;
};

void FaultInsideInnerGuard(void* context)
{
    Nesting* nesting = static_cast<Nesting*>(context);
    nesting->innerCompleted = CallGuarded(IllegalInstruction, nullptr, &nesting->innerCode);
    nesting->reachedAfterInner = true;
    asm volatile("hlt"); // now the outer guard's turn
}

TEST(FaultGuardTest, GuardsNestAndEachTakesItsOwnFault)
{
    Nesting nesting;
    DWORD outerCode = 0;
    EXPECT_FALSE(CallGuarded(FaultInsideInnerGuard, &nesting, &outerCode));
    EXPECT_FALSE(nesting.innerCompleted);
    EXPECT_EQ(static_cast<DWORD>(STATUS_ILLEGAL_INSTRUCTION), nesting.innerCode);
    EXPECT_TRUE(nesting.reachedAfterInner);
    EXPECT_EQ(static_cast<DWORD>(STATUS_PRIVILEGED_INSTRUCTION), outerCode);
}

std::vector<DWORD> CodesOf(const std::vector<SeenException>& exceptions)
{
    std::vector<DWORD> codes;
    for (const SeenException& exception : exceptions)
        codes.push_back(exception.code);
    return codes;
}

// A handler of the test's own, consulted after the guard's, that continues the marked
// exceptions the guard leaves alone.
std::atomic<int> passedOn{0};

LONG CALLBACK ContinueMarkedExceptions(EXCEPTION_POINTERS* exception)
{
    DWORD code = exception->ExceptionRecord->ExceptionCode;
    if (code == 0xE0000BAD || code == DBG_PRINTEXCEPTION_C) {
        ++passedOn;
        return EXCEPTION_CONTINUE_EXECUTION;
    }
    return EXCEPTION_CONTINUE_SEARCH;
}

void RaiseInformational(void*)
{
    ULONG_PTR arguments[2] = {6, reinterpret_cast<ULONG_PTR>("hello\n")};
    RaiseException(DBG_PRINTEXCEPTION_C, 0, 2, arguments);
}

TEST(FaultGuardTest, ExceptionsOutsideAGuardOrInformationalOnesArePassedOn)
{
    int ran = 0;
    ASSERT_TRUE(CallGuarded(Complete, &ran)); // the guard's handler is installed by now
    PVOID handler = AddVectoredExceptionHandler(0, ContinueMarkedExceptions);
    ASSERT_NE(nullptr, handler);
    passedOn = 0;
    RaiseException(0xE0000BAD, 0, 0, nullptr);
    EXPECT_EQ(1, passedOn.load()) << "no guard active: not taken";
    EXPECT_TRUE(CallGuarded(RaiseInformational, nullptr)) << "debug output is not a fault";
    EXPECT_EQ(2, passedOn.load());
    RemoveVectoredExceptionHandler(handler);
    EXPECT_EQ(std::vector<DWORD>{0xE0000BAD}, CodesOf(takeSeenExceptions()))
        << "the test program's monitor saw the one raised outside the guard";
}

TEST(FaultGuardTest, TheLastErrorSurvivesAnExceptionPassedOn)
{
    PVOID handler = AddVectoredExceptionHandler(0, ContinueMarkedExceptions);
    SetLastError(12345);
    RaiseException(0xE0000BAD, 0, 0, nullptr);
    EXPECT_EQ(12345u, GetLastError());
    RemoveVectoredExceptionHandler(handler);
    EXPECT_EQ(std::vector<DWORD>{0xE0000BAD}, CodesOf(takeSeenExceptions())) << "raised on purpose";
}

struct ThreadLoad {
    int iterations;
    std::atomic<int>* faults;
    std::atomic<int>* completions;
    std::atomic<int>* wrong;
};

DWORD WINAPI FaultManyTimes(LPVOID parameter)
{
    ThreadLoad* load = static_cast<ThreadLoad*>(parameter);
    Pages pages;
    int zero = 0;
    std::vector<FaultCase> cases = FaultCases(pages, &zero);
    for (int i = 0; i < load->iterations; ++i) {
        const FaultCase& c = cases[i % cases.size()];
        DWORD code = 0;
        if (CallGuarded(c.routine, c.context, &code) || code != c.expectedCode)
            ++*load->wrong;
        else
            ++*load->faults;
        int ran = 0;
        if (CallGuarded(Complete, &ran) && ran == 1)
            ++*load->completions;
        else
            ++*load->wrong;
    }
    return 0;
}

TEST(FaultGuardTest, ManyThreadsFaultManyTimesAtOnce)
{
    const int threads = 4;
    const int iterations = 400;
    std::atomic<int> faults{0}, completions{0}, wrong{0};
    ThreadLoad load = {iterations, &faults, &completions, &wrong};
    HANDLE handles[threads];
    for (int t = 0; t < threads; ++t) {
        handles[t] = CreateThread(nullptr, 0, FaultManyTimes, &load, 0, nullptr);
        ASSERT_NE(nullptr, handles[t]) << "thread " << t;
    }
    ASSERT_EQ(WAIT_OBJECT_0, WaitForMultipleObjects(threads, handles, TRUE, 120000));
    for (HANDLE handle : handles)
        CloseHandle(handle);
    EXPECT_EQ(threads * iterations, faults.load());
    EXPECT_EQ(threads * iterations, completions.load());
    EXPECT_EQ(0, wrong.load());
}

} // namespace
