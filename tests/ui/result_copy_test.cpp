#include "ui/result_copy.h"

#include <gtest/gtest.h>
#include <string.h>

#include <string>
#include <vector>

namespace {

const char Caption[] = "Zyklomatrix 1.01 (Freeware)";

std::string copied(const ShownResults& results, const char* rates, const char* cores) {
    const size_t length = FormatResultCopy(results, Caption, rates, cores, nullptr, 0);
    std::vector<char> text(length + 1, 'x');
    EXPECT_EQ(length, FormatResultCopy(results, Caption, rates, cores, text.data(), text.size()));
    return std::string(text.data());
}

TEST(ResultCopy, AHeaderThenOneLineOfColumnsPerProcessorOrOneForTheEstimate) {
    struct Case {
        const char* name;
        ShownResults results;
        const char* rates;
        const char* cores;
        const char* expected;
    } cases[] = {
        {"before a test", {ShownResults::Nothing, 50, 1, false, nullptr, nullptr, nullptr, nullptr, nullptr}, "", "", ""},
        {"two processors, the first the fastest", {ShownResults::PerProcessor, 950, 4, true, nullptr, nullptr, nullptr, nullptr, nullptr},
         "2445.4120\t2445.4131", "*3343.9\t3243.8",
         "Zyklomatrix 1.01 (Freeware): 2 processors, 950 ms x 4, one by one\r\n"
         "1\t2445.4120\t3343.9\t*\r\n"
         "2\t2445.4131\t3243.8\r\n"},
        {"one processor", {ShownResults::PerProcessor, 50, 1, false, nullptr, nullptr, nullptr, nullptr, nullptr}, "2445.4120", "3243.9",
         "Zyklomatrix 1.01 (Freeware): 1 processor, 50 ms x 1, all at once\r\n1\t2445.4120\t3243.9\r\n"},
        {"five processors, over two lines", {ShownResults::PerProcessor, 50, 1, false, nullptr, nullptr, nullptr, nullptr, nullptr}, "1.0\t2.0\t3.0\t4.0\r\n5.0",
         "6.0\t7.0\t8.0\t9.0\r\n10.0",
         "Zyklomatrix 1.01 (Freeware): 5 processors, 50 ms x 1, all at once\r\n"
         "1\t1.0\t6.0\r\n2\t2.0\t7.0\r\n3\t3.0\t8.0\r\n4\t4.0\t9.0\r\n5\t5.0\t10.0\r\n"},
        {"the estimate", {ShownResults::Estimate, 100, 2, false, nullptr, nullptr, nullptr, nullptr, nullptr}, "2445.412346", "3243.9",
         "Zyklomatrix 1.01 (Freeware): 1 processor, 100 ms x 2\r\n2445.412346\t3243.9\r\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, copied(c.results, c.rates, c.cores)) << c.name;
}

// The processor's name as the second line, then the rated clocks, the
// verdict and the caps, where there is one; the marks of the kinds of cores
// as a fourth column; under emulation a line that says why there is no core
// clock, and no core clock column.
TEST(ResultCopy, TheProcessorItsClocksItsKindsOfCoresAndEmulationAsTheDialogShowsThem) {
    const char Name[] = "Intel(R) Core(TM) i9-12900K";
    const char Rated[] = "Nenntakt / Rated: Basis / base 3,200 MHz, max. 5,200 MHz (CPUID)";
    const char Caps[] = "Begrenzt durch / Capped by: keine / none";
    const ShownResults named = {ShownResults::PerProcessor, 50, 1, false, Name, nullptr,
                                Rated, "erreicht / reaches 98.1 % of 5,200 MHz", Caps};
    EXPECT_EQ("Zyklomatrix 1.01 (Freeware): 3 processors, 50 ms x 1, all at once\r\n"
              "Intel(R) Core(TM) i9-12900K\r\n"
              "Nenntakt / Rated: Basis / base 3,200 MHz, max. 5,200 MHz (CPUID)\r\n"
              "erreicht / reaches 98.1 % of 5,200 MHz\r\n"
              "Begrenzt durch / Capped by: keine / none\r\n"
              "1\t3187.2000\t5100.0\tP\t*\r\n"
              "2\t3187.2000\t3900.0\tE\r\n"
              "3\t3187.2000\t3900.0\tC3\r\n",
              copied(named, "3187.2000 P\t3187.2000 E\t3187.2000 C3", "*5100.0 P\t3900.0 E\t3900.0 C3"));

    const ShownResults emulated = {ShownResults::PerProcessor, 50, 1, false, Name, "ARM64", Rated, "", Caps};
    const std::string text = copied(emulated, "19.2000\t19.2000", "");
    EXPECT_EQ(0u, text.find("Zyklomatrix 1.01 (Freeware): 2 processors, 50 ms x 1, all at once\r\n"
                            "Intel(R) Core(TM) i9-12900K\r\n"
                            "Emuliert (ARM64): "))
        << text;
    EXPECT_NE(std::string::npos, text.find("Emulated (ARM64): MHZ is the emulated counter's rate, the core clock "
                                           "cannot be measured\r\n"
                                           "Nenntakt / Rated: Basis / base 3,200 MHz, max. 5,200 MHz (CPUID)\r\n"
                                           "Begrenzt durch / Capped by: keine / none\r\n"
                                           "1\t19.2000\r\n2\t19.2000\r\n"))
        << text;
}

TEST(ResultCopy, ASmallBufferGetsNothingPastItsRoom) {
    const ShownResults shown = {ShownResults::PerProcessor, 50, 1, false, nullptr, nullptr, nullptr, nullptr, nullptr};
    const std::string text = copied(shown, "2445.4120\t2445.4131", "3243.9\t3243.8");
    char small[40];
    memset(small, 'x', sizeof small);
    EXPECT_EQ(text.size(), FormatResultCopy(shown, Caption, "2445.4120\t2445.4131", "3243.9\t3243.8", small, 30))
        << "the length it needs";
    EXPECT_EQ('x', small[30]) << "nothing written past the room";
}

}  // namespace
