// Reads the built Zyklomatrix.exe as each system's loader would before running it: the
// processor, the oldest system its header admits, and every imported function against the
// list of functions the oldest target systems export.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "image/import_allowlist.h"
#include "image/pe_image.h"
#include "ui/program_driver.h"

#if !defined(ZYK_PROGRAM_PATH) || !defined(ZYK_ALLOWLIST_PATH)
#error "ZYK_PROGRAM_PATH names the program under test, ZYK_ALLOWLIST_PATH its list of imports"
#endif

namespace {

#if defined(__x86_64__)
// Every x64 Windows, from XP x64 (5.2) on.
const WORD ProgramMachine = IMAGE_FILE_MACHINE_AMD64;
const WORD OldestMajor = 5;
const WORD OldestMinor = 2;
const Floor ProgramFloor = {NotExported, 0x0502};
#else
// Every 32-bit Windows, from Windows 95 and NT 4.0 on.
const WORD ProgramMachine = IMAGE_FILE_MACHINE_I386;
const WORD OldestMajor = 4;
const WORD OldestMinor = 0;
const Floor ProgramFloor = {1, 0x0400};
#endif

std::string Joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += "\n  " + line;
    return text;
}

class ShippedProgramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::vector<unsigned char> image;
        ASSERT_TRUE(ReadWholeFile(windowsPath(ZYK_PROGRAM_PATH), image)) << ZYK_PROGRAM_PATH;
        std::string error;
        ASSERT_TRUE(ReadImageFacts(image, facts, error)) << error;
    }

    ImageFacts facts;
};

TEST_F(ShippedProgramTest, TheHeaderAdmitsTheOldestTargetSystem)
{
    EXPECT_EQ(ProgramMachine, facts.machine);
    EXPECT_EQ(IMAGE_SUBSYSTEM_WINDOWS_GUI, facts.subsystem);
    EXPECT_EQ(OldestMajor, facts.osMajor) << "operating-system version";
    EXPECT_EQ(OldestMinor, facts.osMinor) << "operating-system version";
    EXPECT_EQ(OldestMajor, facts.subsystemMajor) << "subsystem version";
    EXPECT_EQ(OldestMinor, facts.subsystemMinor) << "subsystem version";
    EXPECT_FALSE(facts.hasDelayImports) << "every import is checked here, so none may be delayed";
#if defined(__i386__)
    // The fault guard's handler is linked into the thread's exception chain at run time;
    // the system calls it only from an image that allows frame-based handlers and does not
    // restrict them to a list.
    EXPECT_EQ(0, facts.dllCharacteristics & IMAGE_DLLCHARACTERISTICS_NO_SEH);
    EXPECT_FALSE(facts.hasSafeHandlerTable);
#endif
}

TEST_F(ShippedProgramTest, EveryImportIsListedAndExportedByTheOldestTargets)
{
    std::vector<unsigned char> text;
    ASSERT_TRUE(ReadWholeFile(windowsPath(ZYK_ALLOWLIST_PATH), text)) << ZYK_ALLOWLIST_PATH;
    std::vector<AllowedImport> allowed;
    std::string error;
    ASSERT_TRUE(ParseAllowlist(std::string(text.begin(), text.end()), allowed, error)) << error;
    ASSERT_FALSE(facts.imports.empty());
    std::vector<std::string> complaints = CheckImports(facts.imports, allowed, ProgramFloor);
    EXPECT_TRUE(complaints.empty()) << Joined(complaints);
}

// The check itself, on a short list: what it must let pass and what it must not.
TEST(ImportCheckTest, UnlistedTooNewAndByNumberAreEachCaught)
{
    const char* list =
        "# comment\n"
        "\n"
        "KERNEL32.dll!CloseHandle          95  NT4     history\n"
        "KERNEL32.dll!GetTickCount64       -   Vista   doc\n"
        "KERNEL32.dll!IsDebuggerPresent    98  NT4     history   a note\n"
        "USER32.dll!GetWindowLongPtrA      -   XP-x64  history\n";
    std::vector<AllowedImport> allowed;
    std::string error;
    ASSERT_TRUE(ParseAllowlist(list, allowed, error)) << error;
    ASSERT_EQ(4u, allowed.size());

    const Floor x86 = {1, 0x0400};
    const Floor x64 = {NotExported, 0x0502};
    struct Case {
        const char* import;
        Floor floor;
        size_t complaints;
    };
    const Case cases[] = {
        {"KERNEL32.dll!CloseHandle", x86, 0},
        {"kernel32.DLL!CloseHandle", x86, 0},        // DLL names are matched without regard to case
        {"KERNEL32.dll!closehandle", x86, 1},        // function names are not
        {"KERNEL32.dll!GetTickCount", x86, 1},       // not on the list
        {"KERNEL32.dll!#17", x86, 1},                // by number
        {"KERNEL32.dll!GetTickCount64", x86, 2},     // neither on 95 nor on NT 4.0
        {"KERNEL32.dll!GetTickCount64", x64, 1},     // not on XP x64
        {"KERNEL32.dll!IsDebuggerPresent", x86, 1},  // not on 95
        {"KERNEL32.dll!IsDebuggerPresent", x64, 0},
        {"USER32.dll!GetWindowLongPtrA", x64, 0},
        {"USER32.dll!GetWindowLongPtrA", x86, 2},
    };
    for (const Case& c : cases) {
        std::vector<std::string> complaints = CheckImports({c.import}, allowed, c.floor);
        EXPECT_EQ(c.complaints, complaints.size()) << c.import << Joined(complaints);
    }
}

TEST(ImportCheckTest, AMalformedLineIsRejectedWithItsNumber)
{
    struct Case {
        const char* line;
        const char* reason;
    };
    const Case cases[] = {
        {"KERNEL32.dll CloseHandle 95 NT4 history", "expected DLL!Function"},
        {"KERNEL32.dll!CloseHandle 95 NT4", "expected the oldest"},
        {"KERNEL32.dll!CloseHandle 3.1 NT4 history", "unknown 95/98/ME system"},
        {"KERNEL32.dll!CloseHandle 95 NT3.51 history", "unknown NT system"},
        {"KERNEL32.dll!CloseHandle 95 NT4 msdn", "the source is doc or history"},
    };
    for (const Case& c : cases) {
        std::vector<AllowedImport> allowed;
        std::string error;
        EXPECT_FALSE(ParseAllowlist(std::string("# first\n") + c.line + "\n", allowed, error)) << c.line;
        EXPECT_EQ(0u, error.find("line 2: ")) << error;
        EXPECT_NE(std::string::npos, error.find(c.reason)) << error;
    }
}

} // namespace
