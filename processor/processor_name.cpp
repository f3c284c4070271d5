#include "processor/processor_name.h"

#include <stdio.h>
#include <string.h>
#include <windows.h>

#include "app/format_text.h"
#include "processor/processor_platform.h"

namespace {

const unsigned HighestExtendedLeaf = 0x80000000u;
const unsigned LastBrandLeaf = 0x80000004u;

// Copies text (zero-terminated) without the blanks before and after it; the brand string is padded with them,
// on some processors in front.
void copyTrimmed(const char* text, char (&name)[ProcessorNameSize])
{
    while (*text == ' ')
        ++text;
    size_t length = strlen(text);
    if (length > ProcessorNameSize - 1)
        length = ProcessorNameSize - 1;
    while (length > 0 && text[length - 1] == ' ')
        --length;
    memcpy(name, text, length);
    name[length] = '\0';
}

bool readBrandString(char (&name)[ProcessorNameSize])
{
    const ProcessorPlatform& platform = processorPlatform();
    CpuidLeaf leaf;
    // Processors without extended leaves answer with some basic leaf: the reply is no count
    // of extended leaves unless its top bit is set.
    if (!platform.ReadCpuidLeaf(HighestExtendedLeaf, &leaf) || leaf.eax < LastBrandLeaf
        || leaf.eax > HighestExtendedLeaf + 0xFFFF)
        return false;
    unsigned brand[13] = {};
    for (unsigned k = 0; k < 3; ++k) {
        if (!platform.ReadCpuidLeaf(HighestExtendedLeaf + 2 + k, &leaf))
            return false;
        brand[4 * k] = leaf.eax;
        brand[4 * k + 1] = leaf.ebx;
        brand[4 * k + 2] = leaf.ecx;
        brand[4 * k + 3] = leaf.edx;
    }
    copyTrimmed(reinterpret_cast<const char*>(brand), name);
    return name[0] != '\0';
}

} // namespace

void ReadProcessorName(char (&name)[ProcessorNameSize])
{
    const ProcessorPlatform& platform = processorPlatform();
    CpuidLeaf leaf;
    if (!platform.ReadCpuidLeaf(0, &leaf)) {
        SYSTEM_INFO system;
        ZeroMemory(&system, sizeof system);
        platform.GetSystemInfo(&system);
        FormatText(name, sizeof name, "%s", system.dwProcessorType == PROCESSOR_INTEL_486 ? "80486" : "80386");
        return;
    }
    if (readBrandString(name))
        return;

    // The vendor string lies in ebx, edx, ecx, in that order.
    unsigned vendor[4] = {leaf.ebx, leaf.edx, leaf.ecx, 0};
    char vendorName[ProcessorNameSize];
    copyTrimmed(reinterpret_cast<const char*>(vendor), vendorName);
    if (leaf.eax < 1 || !platform.ReadCpuidLeaf(1, &leaf)) {
        FormatText(name, sizeof name, "%s", vendorName);
        return;
    }
    FormatText(name, sizeof name, "%s family %u model %u stepping %u", vendorName, DisplayFamily(leaf.eax),
               DisplayModel(leaf.eax), leaf.eax & 0xF);
}

const char* ProcessorName()
{
    static char name[ProcessorNameSize];
    static bool read = false;
    if (!read) {
        ReadProcessorName(name);
        read = true;
    }
    return name;
}
