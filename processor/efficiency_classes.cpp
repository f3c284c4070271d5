#include "processor/efficiency_classes.h"

#include <new>
#include <stddef.h>
#include <stdlib.h>
#include <string.h>

#include "processor/processor_groups.h"

namespace {

// The byte after Flags in a core's record is its EfficiencyClass; older headers call it
// reserved.
BYTE efficiencyClass(const PROCESSOR_RELATIONSHIP& core)
{
    return core.Reserved[0];
}

// The class of the core a processor belongs to; false where no core names it.
bool classOf(const ProcessorPlace& place, const SYSTEM_LOGICAL_PROCESSOR_INFORMATION_EX* cores, DWORD length,
             BYTE& found)
{
    const BYTE* at = reinterpret_cast<const BYTE*>(cores);
    const BYTE* end = at + length;
    const DWORD header = offsetof(SYSTEM_LOGICAL_PROCESSOR_INFORMATION_EX, Processor.GroupMask);
    while (at + header <= end) {
        const auto* record = reinterpret_cast<const SYSTEM_LOGICAL_PROCESSOR_INFORMATION_EX*>(at);
        if (record->Size < header || record->Size > static_cast<DWORD>(end - at))
            return false;
        if (record->Relationship == RelationProcessorCore) {
            const PROCESSOR_RELATIONSHIP& core = record->Processor;
            // Only the masks the record has room for.
            const DWORD masks = (record->Size - header) / sizeof(GROUP_AFFINITY);
            for (DWORD k = 0; k < core.GroupCount && k < masks; ++k) {
                if (core.GroupMask[k].Group == place.group && (core.GroupMask[k].Mask & place.mask) != 0) {
                    found = efficiencyClass(core);
                    return true;
                }
            }
        }
        at += record->Size;
    }
    return false;
}

} // namespace

ProcessorClasses::ProcessorClasses() : ranks_(), kinds_(0)
{
}

void ProcessorClasses::read()
{
    memset(ranks_, 0, sizeof ranks_);
    kinds_ = 0;
    DWORD length = 0;
    SYSTEM_LOGICAL_PROCESSOR_INFORMATION_EX* cores = ReadProcessorRecords(RelationProcessorCore, length);
    ProcessorPlace* places = cores != nullptr ? new (std::nothrow) ProcessorPlace[MostProcessors] : nullptr;
    if (places == nullptr) {
        free(cores);
        return;
    }
    const LONG processors = ListMeasuredProcessors(places, MostProcessors);
    // Each processor's class, kept in ranks_ until the classes are ranked; 0 where unknown.
    bool present[256] = {};
    bool known[MostProcessors + 1] = {};
    for (LONG k = 1; k <= processors; ++k) {
        BYTE found = 0;
        if (classOf(places[k - 1], cores, length, found)) {
            ranks_[k] = found;
            known[k] = true;
            present[found] = true;
        }
    }
    delete[] places;
    free(cores);

    for (int c = 0; c < 256; ++c)
        kinds_ += present[c] ? 1 : 0;
    if (kinds_ < 2) {
        memset(ranks_, 0, sizeof ranks_);
        kinds_ = 0;
        return;
    }
    for (LONG k = 1; k <= processors; ++k) {
        if (!known[k])
            continue;
        int rank = 1;
        for (int c = ranks_[k] + 1; c < 256; ++c)
            rank += present[c] ? 1 : 0;
        ranks_[k] = static_cast<BYTE>(rank);
    }
}

int ProcessorClasses::rankOf(int processor) const
{
    return processor >= 1 && processor <= MostProcessors ? ranks_[processor] : 0;
}
