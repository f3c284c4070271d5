#include "pe_image.h"

#include <stddef.h>
#include <stdio.h>
#include <string.h>

namespace {

// Bounds-checked reads from the image, by file offset or by relative virtual address.
class ImageReader {
public:
    explicit ImageReader(const std::vector<unsigned char>& image) : image_(image) {}

    template <typename T>
    bool at(size_t offset, T& value) const
    {
        if (offset > image_.size() || image_.size() - offset < sizeof(T))
            return false;
        memcpy(&value, image_.data() + offset, sizeof(T));
        return true;
    }

    bool stringAt(size_t offset, std::string& text) const
    {
        text.clear();
        for (size_t i = offset; i < image_.size(); ++i) {
            if (image_[i] == 0)
                return true;
            text += static_cast<char>(image_[i]);
        }
        return false;
    }

    void setSections(size_t offset, WORD count) { sections_ = offset, sectionCount_ = count; }

    // The file offset of a relative virtual address, through the section that holds it.
    bool offsetOf(DWORD rva, size_t& offset) const
    {
        for (WORD i = 0; i < sectionCount_; ++i) {
            IMAGE_SECTION_HEADER section;
            if (!at(sections_ + i * sizeof section, section))
                return false;
            DWORD size = section.Misc.VirtualSize > section.SizeOfRawData ? section.Misc.VirtualSize
                                                                          : section.SizeOfRawData;
            if (rva >= section.VirtualAddress && rva - section.VirtualAddress < size) {
                offset = section.PointerToRawData + (rva - section.VirtualAddress);
                return true;
            }
        }
        return false;
    }

private:
    const std::vector<unsigned char>& image_;
    size_t sections_ = 0;
    WORD sectionCount_ = 0;
};

// The fields both optional-header layouts share, read from whichever the image has.
// The directories of the optional header that the reader goes on to walk.
struct OptionalFields {
    IMAGE_DATA_DIRECTORY imports, delayImports, loadConfig;
    bool wide; // PE32+: 64-bit thunks
};

template <typename Header>
bool ReadOptional(const ImageReader& reader, size_t offset, ImageFacts& facts, OptionalFields& fields)
{
    Header header;
    if (!reader.at(offset, header) || header.NumberOfRvaAndSizes <= IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT)
        return false;
    facts.osMajor = header.MajorOperatingSystemVersion;
    facts.osMinor = header.MinorOperatingSystemVersion;
    facts.subsystemMajor = header.MajorSubsystemVersion;
    facts.subsystemMinor = header.MinorSubsystemVersion;
    facts.subsystem = header.Subsystem;
    facts.dllCharacteristics = header.DllCharacteristics;
    fields.imports = header.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    fields.delayImports = header.DataDirectory[IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT];
    fields.loadConfig = header.DataDirectory[IMAGE_DIRECTORY_ENTRY_LOAD_CONFIG];
    return true;
}

bool ReadThunk(const ImageReader& reader, size_t offset, bool wide, ULONGLONG& thunk)
{
    if (wide)
        return reader.at(offset, thunk);
    DWORD narrow;
    if (!reader.at(offset, narrow))
        return false;
    thunk = narrow;
    return true;
}

bool ReadImports(const ImageReader& reader, const OptionalFields& fields, std::vector<std::string>& imports,
                 std::string& error)
{
    if (fields.imports.VirtualAddress == 0)
        return true;
    size_t descriptorOffset;
    if (!reader.offsetOf(fields.imports.VirtualAddress, descriptorOffset)) {
        error = "import directory outside every section";
        return false;
    }
    const ULONGLONG ordinalFlag = fields.wide ? IMAGE_ORDINAL_FLAG64 : IMAGE_ORDINAL_FLAG32;
    const size_t thunkSize = fields.wide ? 8 : 4;
    for (;; descriptorOffset += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
        IMAGE_IMPORT_DESCRIPTOR descriptor;
        if (!reader.at(descriptorOffset, descriptor)) {
            error = "import directory runs off the file";
            return false;
        }
        if (descriptor.Name == 0)
            return true;
        size_t nameOffset;
        std::string dll;
        if (!reader.offsetOf(descriptor.Name, nameOffset) || !reader.stringAt(nameOffset, dll)) {
            error = "unreadable DLL name";
            return false;
        }
        DWORD thunks = descriptor.OriginalFirstThunk != 0 ? descriptor.OriginalFirstThunk : descriptor.FirstThunk;
        size_t thunkOffset;
        if (!reader.offsetOf(thunks, thunkOffset)) {
            error = "unreadable import list of " + dll;
            return false;
        }
        for (;; thunkOffset += thunkSize) {
            ULONGLONG thunk;
            if (!ReadThunk(reader, thunkOffset, fields.wide, thunk)) {
                error = "import list of " + dll + " runs off the file";
                return false;
            }
            if (thunk == 0)
                break;
            if (thunk & ordinalFlag) {
                imports.push_back(dll + "!#" + std::to_string(thunk & 0xFFFF));
                continue;
            }
            size_t hintOffset;
            std::string function;
            if (!reader.offsetOf(static_cast<DWORD>(thunk), hintOffset)
                || !reader.stringAt(hintOffset + sizeof(WORD), function)) {
                error = "unreadable function name imported from " + dll;
                return false;
            }
            imports.push_back(dll + "!" + function);
        }
    }
}

// Whether a 32-bit image's load configuration lists the exception handlers the system may
// call: a handler missing from such a list is never called.
bool HasSafeHandlerTable(const ImageReader& reader, const OptionalFields& fields)
{
    if (fields.wide || fields.loadConfig.VirtualAddress == 0)
        return false;
    const DWORD countEnd = offsetof(IMAGE_LOAD_CONFIG_DIRECTORY32, SEHandlerCount) + sizeof(DWORD);
    size_t offset;
    DWORD count = 0;
    if (fields.loadConfig.Size < countEnd || !reader.offsetOf(fields.loadConfig.VirtualAddress, offset)
        || !reader.at(offset + offsetof(IMAGE_LOAD_CONFIG_DIRECTORY32, SEHandlerCount), count))
        return false;
    return count != 0;
}

} // namespace

bool ReadImageFacts(const std::vector<unsigned char>& image, ImageFacts& facts, std::string& error)
{
    ImageReader reader(image);
    IMAGE_DOS_HEADER dos;
    DWORD signature;
    IMAGE_FILE_HEADER file;
    if (!reader.at(0, dos) || dos.e_magic != IMAGE_DOS_SIGNATURE
        || !reader.at(dos.e_lfanew, signature) || signature != IMAGE_NT_SIGNATURE
        || !reader.at(dos.e_lfanew + sizeof signature, file)) {
        error = "not a PE image";
        return false;
    }
    size_t optionalOffset = dos.e_lfanew + sizeof signature + sizeof file;
    WORD magic;
    OptionalFields fields = {};
    facts = ImageFacts();
    bool read = reader.at(optionalOffset, magic)
        && ((magic == IMAGE_NT_OPTIONAL_HDR32_MAGIC
             && ReadOptional<IMAGE_OPTIONAL_HEADER32>(reader, optionalOffset, facts, fields))
            || (magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC
                && ReadOptional<IMAGE_OPTIONAL_HEADER64>(reader, optionalOffset, facts, fields)));
    if (!read) {
        error = "unreadable optional header";
        return false;
    }
    fields.wide = magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC;
    reader.setSections(optionalOffset + file.SizeOfOptionalHeader, file.NumberOfSections);

    facts.machine = file.Machine;
    facts.hasSafeHandlerTable = HasSafeHandlerTable(reader, fields);
    facts.hasDelayImports = fields.delayImports.VirtualAddress != 0;
    return ReadImports(reader, fields, facts.imports, error);
}

bool ReadWholeFile(const std::string& path, std::vector<unsigned char>& bytes)
{
    FILE* file = fopen(path.c_str(), "rb");
    if (file == nullptr)
        return false;
    bytes.clear();
    unsigned char buffer[65536];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + got);
    bool ok = ferror(file) == 0;
    fclose(file);
    return ok;
}
