#include "measure/result_table.h"

static_assert(std::atomic<double>::is_always_lock_free, "table entries must be stored without a lock");

ResultTable resultTable;

namespace {

bool InTable(int processor)
{
    return processor >= 1 && processor <= ResultTable::LastProcessor;
}

} // namespace

LONG ResultTable::count() const
{
    return count_.load(std::memory_order_acquire);
}

void ResultTable::setCount(LONG n)
{
    if (n < 0)
        n = 0;
    if (n > LastProcessor)
        n = LastProcessor;
    count_.store(n, std::memory_order_release);
}

double ResultTable::value(int processor) const
{
    if (!InTable(processor))
        return 0.0;
    return values_[processor].load(std::memory_order_acquire);
}

void ResultTable::store(int processor, double mhz)
{
    if (InTable(processor))
        values_[processor].store(mhz, std::memory_order_release);
}

double ResultTable::coreClock(int processor) const
{
    if (!InTable(processor))
        return 0.0;
    return coreClocks_[processor].load(std::memory_order_acquire);
}

void ResultTable::storeCoreClock(int processor, double mhz)
{
    if (InTable(processor))
        coreClocks_[processor].store(mhz, std::memory_order_release);
}
