#include "import_allowlist.h"

#include <string.h>

#include <sstream>

namespace {

struct SystemName {
    const char* name;
    unsigned version;
};

const SystemName Windows9xNames[] = {{"95", 1}, {"98", 2}, {"ME", 3}, {"-", NotExported}};
const SystemName NtNames[] = {{"NT4", 0x0400}, {"2000", 0x0500}, {"XP", 0x0501}, {"XP-x64", 0x0502},
                              {"Vista", 0x0600}, {"7", 0x0601}, {"8", 0x0602}, {"10", 0x0A00},
                              {"-", NotExported}};

template <size_t N>
bool Lookup(const SystemName (&names)[N], const std::string& word, unsigned& version)
{
    for (const SystemName& name : names) {
        if (word == name.name) {
            version = name.version;
            return true;
        }
    }
    return false;
}

template <size_t N>
std::string NameOf(const SystemName (&names)[N], unsigned version)
{
    for (const SystemName& name : names) {
        if (version == name.version)
            return name.name;
    }
    return "?";
}

bool SameDll(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && _strnicmp(a.c_str(), b.c_str(), a.size()) == 0;
}

std::string Shortfall(const std::string& import, const char* family, const std::string& needed,
                      const std::string& floor)
{
    if (needed == "-")
        return import + " is not exported on the " + family + " family, where the program starts from " + floor;
    return import + " needs " + needed + " on the " + family + " family, where the program starts from " + floor;
}

} // namespace

bool ParseAllowlist(const std::string& text, std::vector<AllowedImport>& entries, std::string& error)
{
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        std::istringstream words(line);
        std::string import, windows9x, nt, source;
        if (!(words >> import) || import[0] == '#')
            continue;
        AllowedImport entry;
        size_t bang = import.find('!');
        std::string where = "line " + std::to_string(number) + ": ";
        if (bang == std::string::npos || bang == 0 || bang + 1 == import.size()) {
            error = where + "expected DLL!Function, found " + import;
            return false;
        }
        entry.dll = import.substr(0, bang);
        entry.function = import.substr(bang + 1);
        if (!(words >> windows9x >> nt >> source)) {
            error = where + "expected the oldest 95/98/ME system, the oldest NT system and the source";
            return false;
        }
        if (!Lookup(Windows9xNames, windows9x, entry.oldestWindows9x)) {
            error = where + "unknown 95/98/ME system " + windows9x;
            return false;
        }
        if (!Lookup(NtNames, nt, entry.oldestNt)) {
            error = where + "unknown NT system " + nt;
            return false;
        }
        if (source != "doc" && source != "history") {
            error = where + "the source is doc or history, not " + source;
            return false;
        }
        entry.fromHistory = source == "history";
        entries.push_back(entry);
    }
    return true;
}

std::vector<std::string> CheckImports(const std::vector<std::string>& imports,
                                      const std::vector<AllowedImport>& allowed, Floor floor)
{
    std::vector<std::string> complaints;
    for (const std::string& import : imports) {
        size_t bang = import.find('!');
        std::string dll = import.substr(0, bang);
        std::string function = bang == std::string::npos ? std::string() : import.substr(bang + 1);
        const AllowedImport* entry = nullptr;
        for (const AllowedImport& candidate : allowed) {
            if (candidate.function == function && SameDll(candidate.dll, dll)) {
                entry = &candidate;
                break;
            }
        }
        if (entry == nullptr) {
            complaints.push_back(import + " is not on the list");
            continue;
        }
        if (floor.windows9x != NotExported && entry->oldestWindows9x > floor.windows9x)
            complaints.push_back(Shortfall(import, "95/98/ME", NameOf(Windows9xNames, entry->oldestWindows9x),
                                           NameOf(Windows9xNames, floor.windows9x)));
        if (floor.nt != NotExported && entry->oldestNt > floor.nt)
            complaints.push_back(Shortfall(import, "NT", NameOf(NtNames, entry->oldestNt), NameOf(NtNames, floor.nt)));
    }
    return complaints;
}
