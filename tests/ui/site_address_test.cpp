#include "ui/site_address.h"

#include <gtest/gtest.h>
#include <string.h>

#include <string>

namespace {

// Keeps the process-wide flag as it was before the test.
struct NonGermanSystemGuard {
    LONG saved = NonGermanSystem;
    ~NonGermanSystemGuard() { NonGermanSystem = saved; }
};

TEST(SiteAddress, LanguageChoosesTheFlag) {
    struct Case { LANGID language; LONG expected; const char* name; };
    const Case cases[] = {
        {1031, 0, "German (Germany)"},
        {2055, 0, "German (Switzerland)"},
        {3079, 0, "German (Austria)"},
        {4103, 0, "German (Luxembourg)"},
        {5127, 1, "German (Liechtenstein)"},
        {1033, 1, "English (United States)"},
        {1036, 1, "French (France)"},
        {0x0007, 1, "German, neutral sublanguage"},
        {0, 1, "neutral"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, NonGermanFlagFor(c.language)) << c.name;
}

TEST(SiteAddress, VariantFollowsTheFlagAndStaysUnderTheReservedDomain) {
    NonGermanSystemGuard guard;
    NonGermanSystem = 0;
    const std::string german = BuildSiteAddress();
    NonGermanSystem = 1;
    const std::string other = BuildSiteAddress();

    EXPECT_EQ("https://www.example.org/de/zyklomatrix/", german);
    EXPECT_EQ("https://www.example.org/en/zyklomatrix/", other);
}

TEST(SiteAddress, RepeatedCallsRebuildRatherThanAppend) {
    NonGermanSystemGuard guard;
    NonGermanSystem = 1;
    const char* first = BuildSiteAddress();
    const std::string firstText = first;
    const char* second = BuildSiteAddress();
    EXPECT_EQ(first, second) << "one process-wide buffer";
    EXPECT_EQ(firstText, second);

    // Switching variants and back leaves no trace of the other variant.
    NonGermanSystem = 0;
    BuildSiteAddress();
    NonGermanSystem = 1;
    EXPECT_EQ(firstText, BuildSiteAddress());
}

TEST(SiteAddress, TargetIsTheAddressFollowedByTheQuery) {
    NonGermanSystemGuard guard;
    EXPECT_EQ(31u, strlen(SiteQuery));
    for (LONG flag : {0, 1}) {
        NonGermanSystem = flag;
        char target[SiteTextSize];
        memset(target, 'x', sizeof target);
        BuildSiteTarget(target);
        EXPECT_EQ(std::string(BuildSiteAddress()) + "?seite=Freeware&SID=Zyklomatrix",
                  target)
            << "NonGermanSystem " << flag;
    }
}

}  // namespace
