#pragma once

#include <windows.h>

// The most logical processors Windows runs on (32 groups of 64), and so the most the program
// lists and measures.
const LONG MostProcessors = 2048;

// Where one worker is bound: a processor group and the one bit of that group's affinity mask
// that names its processor.
struct ProcessorPlace {
    WORD group;
    KAFFINITY mask;
};

// The logical processors of every active processor group (Windows 7 and later), in group
// order and, within a group, processor order: the bits of the group's active mask, which has
// gaps where processors were taken out or limited, or where the system does not tell it, the
// first as many bits as it has processors. A group's processors past the width of an
// affinity mask (32 bits in a 32-bit program) cannot be named, so they are left out, as is
// everything past room. Writes the places to places unless it is null and returns how many
// there are: 0 where the system lacks processor groups or reports none, and the caller then
// binds with plain affinity masks.
LONG ListGroupProcessors(ProcessorPlace* places, LONG room);

// The system's records of one relationship of its processors (GetLogicalProcessorInformationEx,
// looked up), in memory from malloc the caller frees, and their length in bytes; null where
// the system tells none.
SYSTEM_LOGICAL_PROCESSOR_INFORMATION_EX* ReadProcessorRecords(LOGICAL_PROCESSOR_RELATIONSHIP relationship,
                                                              DWORD& length);

// The processors a test measures, in the order of their results: those ListGroupProcessors
// lists, or, where the system lacks processor groups, those GetSystemInfo counts, in group 0
// with their bits of a plain affinity mask, up to the mask's width. Writes at most room places
// and returns how many it wrote.
LONG ListMeasuredProcessors(ProcessorPlace* places, LONG room);

// The processors GetSystemInfo counts, up to the width of a plain affinity mask: those a
// thread can be bound to where the system lacks processor groups.
LONG MaskProcessorCount();

// Binds a thread to one place: with its group and bit where the places come from
// ListGroupProcessors (byGroup), else with the bit of a plain affinity mask. A binding the
// system refuses leaves the thread where it was.
void BindThreadToPlace(HANDLE thread, const ProcessorPlace& place, bool byGroup);
