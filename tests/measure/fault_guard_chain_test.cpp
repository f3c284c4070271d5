#include <gtest/gtest.h>

#include "measure/fault_guard.h"

namespace {

void RaiseNoncontinuable(void*)
{
    RaiseException(0xE0000002, EXCEPTION_NONCONTINUABLE, 0, nullptr);
}

void WriteDebugOutput(void* written)
{
    OutputDebugStringA("guarded debug output\n");
    *static_cast<bool*>(written) = true;
}

TEST(FaultGuardKindsTest, AnExceptionThatMayNotBeContinuedIsTakenAndDebugOutputIsNone)
{
    DWORD code = 0;
    EXPECT_FALSE(CallGuarded(RaiseNoncontinuable, nullptr, &code)) << "taken, not continued";
    EXPECT_EQ(0xE0000002u, code);

    bool written = false;
    EXPECT_TRUE(CallGuarded(WriteDebugOutput, &written)) << "the system's own handler takes its output";
    EXPECT_TRUE(written);
    EXPECT_FALSE(IsInsideGuardedCall());
}

#if defined(__i386__)
// The x86 guard is a record on the thread's exception chain at fs:[0]. These tests link
// records of their own around and inside it.
struct Registration {
    Registration* next;
    void* handler;
};

Registration* ChainHead()
{
    Registration* head;
    asm volatile("movl %%fs:0, %0" : "=r"(head));
    return head;
}

void SetChainHead(Registration* head)
{
    asm volatile("movl %0, %%fs:0" : : "r"(head) : "memory");
}

// What a record linked in by the routine itself was called for.
struct OwnRecordCalls {
    int dispatches;
    int unwinds;
    DWORD code;
};
OwnRecordCalls ownCalls;

extern "C" EXCEPTION_DISPOSITION __cdecl DeclineEverything(EXCEPTION_RECORD* exception, void*, CONTEXT*, void*)
{
    if (IS_UNWINDING(exception->ExceptionFlags)) {
        ++ownCalls.unwinds;
    } else {
        ++ownCalls.dispatches;
        ownCalls.code = exception->ExceptionCode;
    }
    return ExceptionContinueSearch;
}

// Links a record of its own and faults under it, leaving the record behind.
void FaultUnderOwnRecord(void*)
{
    Registration own = {ChainHead(), reinterpret_cast<void*>(DeclineEverything)};
    SetChainHead(&own);
    asm volatile("ud2" : : : "memory");
}

void Complete(void*)
{
}

TEST(FaultGuardChainTest, TheRoutinesOwnRecordSeesTheFaultFirstAndIsUnwound)
{
    Registration* before = ChainHead();
    ownCalls = {};
    DWORD code = 0;
    EXPECT_FALSE(CallGuarded(FaultUnderOwnRecord, nullptr, &code));
    EXPECT_EQ(static_cast<DWORD>(STATUS_ILLEGAL_INSTRUCTION), code);
    EXPECT_EQ(1, ownCalls.dispatches);
    EXPECT_EQ(static_cast<DWORD>(STATUS_ILLEGAL_INSTRUCTION), ownCalls.code);
    EXPECT_EQ(1, ownCalls.unwinds) << "left behind by the routine, unwound by the guard";
    EXPECT_EQ(before, ChainHead()) << "after a fault";

    EXPECT_TRUE(CallGuarded(Complete, nullptr));
    EXPECT_EQ(before, ChainHead()) << "after a return";
}

int continuedOutside;

extern "C" EXCEPTION_DISPOSITION __cdecl ContinueInformational(EXCEPTION_RECORD* exception, void*, CONTEXT*, void*)
{
    if (IS_UNWINDING(exception->ExceptionFlags) || exception->ExceptionCode != DBG_PRINTEXCEPTION_C)
        return ExceptionContinueSearch;
    ++continuedOutside;
    return ExceptionContinueExecution;
}

void RaiseInformational(void*)
{
    ULONG_PTR arguments[2] = {6, reinterpret_cast<ULONG_PTR>("hello\n")};
    RaiseException(DBG_PRINTEXCEPTION_C, 0, 2, arguments);
}

TEST(FaultGuardChainTest, InformationalExceptionsGoOnToTheRecordsOutsideTheGuard)
{
    continuedOutside = 0;
    Registration outside = {ChainHead(), reinterpret_cast<void*>(ContinueInformational)};
    SetChainHead(&outside);
    bool completed = CallGuarded(RaiseInformational, nullptr);
    Registration* afterwards = ChainHead();
    SetChainHead(outside.next);
    EXPECT_TRUE(completed);
    EXPECT_EQ(1, continuedOutside);
    EXPECT_EQ(&outside, afterwards);
}
#endif

} // namespace
