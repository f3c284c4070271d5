#include "measure/processor_groups.h"

#include "measure/measure_platform.h"

namespace {

const LONG MaskBits = sizeof(KAFFINITY) * 8;

} // namespace

LONG ListGroupProcessors(ProcessorPlace* places, LONG room)
{
    const MeasurePlatform& platform = measurePlatform();
    if (platform.GetActiveProcessorGroupCount == nullptr || platform.GetActiveProcessorCount == nullptr
        || platform.SetThreadGroupAffinity == nullptr)
        return 0;

    LONG listed = 0;
    const WORD groups = platform.GetActiveProcessorGroupCount();
    for (WORD group = 0; group < groups && listed < room; ++group) {
        DWORD processors = platform.GetActiveProcessorCount(group);
        if (processors > static_cast<DWORD>(MaskBits))
            processors = MaskBits;
        for (DWORD bit = 0; bit < processors && listed < room; ++bit) {
            if (places != nullptr) {
                places[listed].group = group;
                places[listed].mask = static_cast<KAFFINITY>(1) << bit;
            }
            ++listed;
        }
    }
    return listed;
}
