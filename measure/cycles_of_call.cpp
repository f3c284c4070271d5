#include "measure/cycles_of_call.h"

#include "measure/fault_guard.h"
#include "measure/measure_platform.h"

namespace {

struct CountedCall {
    MeasuredRoutine routine;
    int argument;
    unsigned long long first;
    unsigned long long second;
};

// Runs inside the guarded region: both reads and the call itself.
[[gnu::noipa]] void CountCall(void* context)
{
    CountedCall* call = static_cast<CountedCall*>(context);
    unsigned long long (*read)() = measurePlatform().ReadTimeStamp;
    call->first = read();
    call->routine(call->argument);
    call->second = read();
}

} // namespace

// Kept a real, separate call (as are the routines it measures), so that what is counted
// does not depend on what the optimiser makes of the caller.
[[gnu::noipa]] unsigned long long CyclesOfCall(MeasuredRoutine routine, int argument)
{
    CountedCall call = {routine, argument, 0, 0};
    if (!CallGuarded(CountCall, &call))
        return CyclesOfFaultedCall;
    return call.second - call.first;
}
