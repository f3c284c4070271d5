#include "measure/efficiency_classes.h"

#include <new>

#include "measure/measure_platform.h"

namespace {

// Windows 7 and later; the efficiency class is filled from Windows 10 on, and zero before.
typedef BOOL(WINAPI* GetLogicalProcessorInformationExProc)(LOGICAL_PROCESSOR_RELATIONSHIP relation,
                                                           void* buffer, DWORD* length);

// Where a core's record keeps what is read here: the record's size, the efficiency class, how
// many groups its processors lie in and the first group's mask and number. The layout is the
// system's, for 32-bit and 64-bit programs alike.
const DWORD RecordSizeAt = 4;
const DWORD ClassAt = 9;
const DWORD GroupCountAt = 30;
const DWORD FirstGroupAt = 32;

} // namespace

void ReadEfficiencyClasses(const ProcessorPlace* places, LONG count, BYTE* classes)
{
    for (LONG k = 0; k < count; ++k)
        classes[k] = 0;
    HMODULE kernel = measurePlatform().GetModuleHandleA("kernel32.dll");
    GetLogicalProcessorInformationExProc read = kernel == nullptr ? nullptr
        : reinterpret_cast<GetLogicalProcessorInformationExProc>(
              reinterpret_cast<void*>(measurePlatform().GetProcAddress(kernel, "GetLogicalProcessorInformationEx")));
    if (read == nullptr)
        return;
    DWORD length = 0;
    read(RelationProcessorCore, nullptr, &length);
    if (length == 0)
        return;
    BYTE* buffer = new (std::nothrow) BYTE[length];
    if (buffer == nullptr)
        return;
    if (read(RelationProcessorCore, buffer, &length)) {
        for (DWORD at = 0; at + FirstGroupAt + sizeof(GROUP_AFFINITY) <= length;) {
            const BYTE* core = buffer + at;
            const DWORD size = *reinterpret_cast<const DWORD*>(core + RecordSizeAt);
            const WORD groups = *reinterpret_cast<const WORD*>(core + GroupCountAt);
            const GROUP_AFFINITY* masks = reinterpret_cast<const GROUP_AFFINITY*>(core + FirstGroupAt);
            for (WORD g = 0; g < groups && FirstGroupAt + (g + 1) * sizeof(GROUP_AFFINITY) <= size; ++g) {
                for (LONG k = 0; k < count; ++k) {
                    if (places[k].group == masks[g].Group && (places[k].mask & masks[g].Mask) != 0)
                        classes[k] = core[ClassAt];
                }
            }
            if (size == 0)
                break;
            at += size;
        }
    }
    delete[] buffer;
}
