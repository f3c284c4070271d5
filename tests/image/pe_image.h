#pragma once

#include <windows.h>

#include <string>
#include <vector>

// What the loader of each system reads from a program's image before it runs a single
// instruction: the processor, the oldest system the header admits, and every function the
// program imports by name.
struct ImageFacts {
    WORD machine = 0;
    WORD subsystem = 0;
    WORD osMajor = 0;
    WORD osMinor = 0;
    WORD subsystemMajor = 0;
    WORD subsystemMinor = 0;
    WORD dllCharacteristics = 0;
    bool hasSafeHandlerTable = false; // a load configuration that lists permitted exception handlers
    bool hasDelayImports = false;
    std::vector<std::string> imports; // "DLL!Function", or "DLL!#ordinal" for an import by number
};

// Reads the facts from the bytes of an image file; false with a reason when the bytes are
// not a well-formed image.
bool ReadImageFacts(const std::vector<unsigned char>& image, ImageFacts& facts, std::string& error);

// The bytes of a file; false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::vector<unsigned char>& bytes);
