#include "measure/test_parameters.h"

static_assert(std::atomic<LONG>::is_always_lock_free, "test parameters must be stored without a lock");

std::atomic<LONG> MeasureWindowMs{0};
std::atomic<LONG> RepeatCount{0};
