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

// What each processor's program must admit: every 32-bit Windows from Windows 95 and
// NT 4.0 on, and every x64 Windows from XP x64 (5.2) on. Chosen by the image's own
// processor, so that one test program can read the image of either build.
struct Target {
    WORD machine;
    WORD oldestMajor;
    WORD oldestMinor;
    Floor floor;
};

const Target Targets[] = {
    {IMAGE_FILE_MACHINE_I386, 4, 0, {1, 0x0400}},
    {IMAGE_FILE_MACHINE_AMD64, 5, 2, {NotExported, 0x0502}},
};

const Target* TargetOf(WORD machine)
{
    for (const Target& target : Targets)
        if (target.machine == machine)
            return &target;
    return nullptr;
}

// The program under test: this build's own, or the one named by ZYK_IMAGE, which lets the
// x64 test build read the x86 program's image where x86 programs cannot be run.
std::string ProgramPath()
{
    char path[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("ZYK_IMAGE", path, sizeof path);
    if (length > 0 && length < sizeof path)
        return path;
    return windowsPath(ZYK_PROGRAM_PATH);
}

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
        ASSERT_TRUE(ReadWholeFile(ProgramPath(), image)) << ProgramPath();
        std::string error;
        ASSERT_TRUE(ReadImageFacts(image, facts, error)) << error;
        target = TargetOf(facts.machine);
        ASSERT_NE(nullptr, target) << "processor " << facts.machine << " of " << ProgramPath();
    }

    ImageFacts facts;
    const Target* target = nullptr;
};

TEST_F(ShippedProgramTest, TheHeaderAdmitsTheOldestTargetSystem)
{
    EXPECT_EQ(IMAGE_SUBSYSTEM_WINDOWS_GUI, facts.subsystem);
    EXPECT_EQ(target->oldestMajor, facts.osMajor) << "operating-system version";
    EXPECT_EQ(target->oldestMinor, facts.osMinor) << "operating-system version";
    EXPECT_EQ(target->oldestMajor, facts.subsystemMajor) << "subsystem version";
    EXPECT_EQ(target->oldestMinor, facts.subsystemMinor) << "subsystem version";
    EXPECT_FALSE(facts.hasDelayImports) << "every import is checked here, so none may be delayed";
    if (facts.machine == IMAGE_FILE_MACHINE_I386) {
        // The fault guard's handler is linked into the thread's exception chain at run time;
        // the system calls it only from an image that allows frame-based handlers and does
        // not restrict them to a list.
        EXPECT_EQ(0, facts.dllCharacteristics & IMAGE_DLLCHARACTERISTICS_NO_SEH);
        EXPECT_FALSE(facts.hasSafeHandlerTable);
    }
}

// Each build's test reads its own build's program.
TEST_F(ShippedProgramTest, TheProgramIsOfThisBuildsProcessor)
{
    if (GetEnvironmentVariableA("ZYK_IMAGE", nullptr, 0) != 0)
        GTEST_SKIP() << "another build's program, named by ZYK_IMAGE";
#if defined(__x86_64__)
    EXPECT_EQ(IMAGE_FILE_MACHINE_AMD64, facts.machine);
#else
    EXPECT_EQ(IMAGE_FILE_MACHINE_I386, facts.machine);
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
    std::vector<std::string> complaints = CheckImports(facts.imports, allowed, target->floor);
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
