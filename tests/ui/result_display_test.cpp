#include "ui/result_display.h"

#include <gtest/gtest.h>
#include <string.h>

#include <string>
#include <vector>

namespace {

std::string display(ResultTable& table) {
    static char text[ResultDisplaySize];
    memset(text, 'x', sizeof text);
    FormatResultTable(table, text);
    return text;
}

TEST(ResultDisplay, FourValuesToALineAndNothingAfterTheLast) {
    struct Case { LONG count; const char* expected; };
    const Case cases[] = {
        {0, ""},
        {1, "1.0000"},
        {4, "1.0000\t2.0000\t3.0000\t4.0000"},
        {5, "1.0000\t2.0000\t3.0000\t4.0000\r\n5.0000"},
        {6, "1.0000\t2.0000\t3.0000\t4.0000\r\n5.0000\t6.0000"},
        {8, "1.0000\t2.0000\t3.0000\t4.0000\r\n5.0000\t6.0000\t7.0000\t8.0000"},
        {9, "1.0000\t2.0000\t3.0000\t4.0000\r\n5.0000\t6.0000\t7.0000\t8.0000\r\n9.0000"},
    };
    ResultTable table;
    for (int k = 1; k <= 9; ++k)
        table.store(k, k);
    for (const Case& c : cases) {
        table.setCount(c.count);
        EXPECT_EQ(c.expected, display(table)) << c.count << " processors";
    }
}

// A machine with every table entry in use shows every value, where a
// 1024-byte display would have held about 80 of them.
TEST(ResultDisplay, EveryEntryFitsEvenWithLongValues) {
    ResultTable table;
    table.setCount(ResultTable::LastProcessor);
    for (int k = 1; k <= ResultTable::LastProcessor; ++k)
        table.store(k, 9223372036854.775);  // the largest value a worker can store
    const std::string text = display(table);
    EXPECT_GT(text.size(), 1024u);
    size_t values = 1;
    for (char c : text)
        values += c == '\t' || c == '\n';
    EXPECT_EQ(size_t(ResultTable::LastProcessor), values);
    EXPECT_EQ("9223372036854.7754", text.substr(text.size() - 18)) << "the last value is whole";
}

// The separators of a text in order: a processor's two values stand in the
// same line and column of their rows when both texts have the same ones.
std::string separators(const std::string& text) {
    std::string kept;
    for (char c : text) {
        if (c == '\t' || c == '\r' || c == '\n')
            kept += c;
    }
    return kept;
}

TEST(ResultDisplay, CoreClocksWithOneDecimalInTheSameLinesAndColumns) {
    struct Case { LONG count; const char* expected; };
    const Case cases[] = {
        {1, "1.5"},
        {5, "1.5\t3.0\t4.5\t6.0\r\n7.5"},
    };
    ResultTable table;
    for (int k = 1; k <= ResultTable::LastProcessor; ++k) {
        table.store(k, 2445.4 + k);
        table.storeCoreClock(k, 1.5 * k);
    }
    static char text[ResultDisplaySize];
    for (const Case& c : cases) {
        table.setCount(c.count);
        FormatCoreClockTable(table, text);
        EXPECT_EQ(c.expected, std::string(text)) << c.count << " processors";
    }

    table.setCount(ResultTable::LastProcessor);
    FormatCoreClockTable(table, text);
    const std::string cores = text;
    EXPECT_EQ("3070.5\t3072.0", cores.substr(cores.size() - 13)) << "the last line: processors 2,047 and 2,048";
    EXPECT_EQ(separators(display(table)), separators(cores));
}

// After a test one by one: the cores within 0.5% of the fastest, if that
// leads the slowest measured by more than 1%.
TEST(ResultDisplay, TheFastestCoresAreMarkedOnlyWhenAskedAndWhenTheyStandOut) {
    struct Case { const char* name; std::vector<double> cores; bool mark; const char* expected; };
    const Case cases[] = {
        {"two within 0.5% of the highest", {4800.0, 4776.0, 4775.0, 0.0, 4500.0}, true,
         "*4800.0\t*4776.0\t4775.0\t0.0\r\n4500.0"},
        {"all within 1%", {4800.0, 4753.0}, true, "4800.0\t4753.0"},
        {"just over 1%, a processor without a clock aside", {4800.0, 0.0, 4752.0}, true, "*4800.0\t0.0\t4752.0"},
        {"all at once", {4800.0, 4500.0}, false, "4800.0\t4500.0"},
    };
    static char text[ResultDisplaySize];
    for (const Case& c : cases) {
        ResultTable table;
        table.setCount(static_cast<LONG>(c.cores.size()));
        for (size_t k = 0; k < c.cores.size(); ++k)
            table.storeCoreClock(static_cast<int>(k + 1), c.cores[k]);
        const bool marked = FormatCoreClockTable(table, text, nullptr, c.mark);
        EXPECT_EQ(c.expected, std::string(text)) << c.name;
        EXPECT_EQ(strchr(c.expected, '*') != nullptr, marked) << c.name;
    }
}

TEST(ResultDisplay, ValuesTooLongForTheirBufferAreCutNotOverrun) {
    ResultTable table;
    table.setCount(ResultTable::LastProcessor);
    for (int k = 1; k <= ResultTable::LastProcessor; ++k)
        table.store(k, 1e300);
    const std::string text = display(table);
    EXPECT_LT(text.size(), size_t(ResultDisplaySize));
    size_t values = 1;
    for (char c : text)
        values += c == '\t' || c == '\n';
    EXPECT_EQ(size_t(ResultTable::LastProcessor), values) << "each value keeps its separator";
}

}  // namespace
