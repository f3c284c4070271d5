#pragma once

#include <string>
#include <vector>

// The functions a shipped program may import, each with the oldest system of each Windows
// family whose DLL exports it (the file format is described at the top of the list itself).

// Systems as version numbers, so that "old enough" is a comparison. Windows 95, 98 and ME
// count 1, 2 and 3; NT-family systems count by their version (0x0400 for NT 4.0, 0x0502 for
// XP x64 and Server 2003). NotExported marks a family whose DLL lacks the function.
const unsigned NotExported = 0xFFFF;

struct AllowedImport {
    std::string dll;      // compared without regard to case, as the loader does
    std::string function; // compared exactly
    unsigned oldestWindows9x;
    unsigned oldestNt;
    bool fromHistory; // the age comes from the platform's history, not its "minimum supported" line
};

// Reads the list; false with the line number and the reason for the first bad line.
bool ParseAllowlist(const std::string& text, std::vector<AllowedImport>& entries, std::string& error);

// The oldest systems a program must start on; a family it does not serve is NotExported.
struct Floor {
    unsigned windows9x;
    unsigned nt;
};

// One complaint per import that is not on the list, or that the list says is younger than
// the floor on either family.
std::vector<std::string> CheckImports(const std::vector<std::string>& imports,
                                      const std::vector<AllowedImport>& allowed, Floor floor);
