#include "app/pump_table.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/platform_guard.h"
#include "failing_heap.h"

namespace {

MessagePump* pump(int n)
{
    return reinterpret_cast<MessagePump*>(static_cast<intptr_t>(0x1000 + 0x10 * n));
}

struct Entry {
    DWORD threadId;
    MessagePump* pump;
};

// Compares the table's entries with the expected ones, in index order.
void expectEntries(const PumpTable& table, const std::vector<Entry>& expected, const char* when)
{
    ASSERT_EQ(table.count(), static_cast<LONG>(expected.size())) << when;
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(table.threadIds()[i], expected[i].threadId) << when << ", entry " << i;
        EXPECT_EQ(table.pumps()[i], expected[i].pump) << when << ", entry " << i;
    }
}

class PumpTableTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        failing_heap::reset();
        appPlatform().realloc = failing_heap::realloc;
    }
    void TearDown() override
    {
        table.release();
        failing_heap::reset();
    }

    AppPlatformGuard guard;
    PumpTable table;
};

TEST_F(PumpTableTest, DuplicateThreadIdsActOnTheFirstMatch)
{
    ASSERT_EQ(table.add(7, pump(1)), 1);
    ASSERT_EQ(table.add(8, pump(2)), 1);
    ASSERT_EQ(table.add(7, pump(3)), 1);
    expectEntries(table, {{7, pump(1)}, {8, pump(2)}, {7, pump(3)}}, "after three adds");
    EXPECT_EQ(table.find(7), pump(1));

    EXPECT_EQ(table.remove(7), 1);
    expectEntries(table, {{8, pump(2)}, {7, pump(3)}}, "after removing the first 7");
    EXPECT_EQ(table.find(7), pump(3));
    EXPECT_EQ(table.find(8), pump(2));
}

TEST_F(PumpTableTest, LookupAndRemovalOfAbsentThreads)
{
    EXPECT_EQ(table.find(7), nullptr) << "empty table";
    EXPECT_EQ(table.remove(7), 0) << "empty table";

    ASSERT_EQ(table.add(7, pump(1)), 1);
    EXPECT_EQ(table.find(9), nullptr);
    EXPECT_EQ(table.remove(9), 0);
    expectEntries(table, {{7, pump(1)}}, "after removing an absent thread");
}

TEST_F(PumpTableTest, RemovingTheOnlyEntryEmptiesBothArrays)
{
    ASSERT_EQ(table.add(7, pump(1)), 1);
    EXPECT_EQ(table.remove(7), 1);
    EXPECT_EQ(table.count(), 0);
    EXPECT_EQ(table.threadIds(), nullptr);
    EXPECT_EQ(table.pumps(), nullptr);

    ASSERT_EQ(table.add(9, pump(2)), 1) << "adding again after emptying";
    expectEntries(table, {{9, pump(2)}}, "after adding again");
}

TEST_F(PumpTableTest, RemovalFromTheMiddleKeepsTheOrder)
{
    for (int n = 1; n <= 4; ++n)
        ASSERT_EQ(table.add(static_cast<DWORD>(n), pump(n)), 1);
    EXPECT_EQ(table.remove(2), 1);
    expectEntries(table, {{1, pump(1)}, {3, pump(3)}, {4, pump(4)}}, "after removing 2");
    EXPECT_EQ(table.remove(4), 1);
    expectEntries(table, {{1, pump(1)}, {3, pump(3)}}, "after removing the last");
}

TEST_F(PumpTableTest, FailingGrowthLeavesTheEntriesUnchanged)
{
    // Call 1 resizes the id array, call 2 the pump array.
    for (int failing : {1, 2}) {
        ASSERT_EQ(table.add(7, pump(1)), 1);
        failing_heap::failOnly(failing);
        EXPECT_EQ(table.add(8, pump(2)), 0) << "resize " << failing << " failing";
        expectEntries(table, {{7, pump(1)}}, failing == 1 ? "id array failed" : "pump array failed");
        EXPECT_EQ(table.find(8), nullptr) << "resize " << failing << " failing";

        failing_heap::reset();
        ASSERT_EQ(table.add(8, pump(2)), 1) << "a later add, resize " << failing << " failed";
        expectEntries(table, {{7, pump(1)}, {8, pump(2)}}, "after the later add");
        table.release();
    }
}

TEST_F(PumpTableTest, FailingShrinkKeepsTheOldBlockAndStillRemoves)
{
    for (int n = 1; n <= 3; ++n)
        ASSERT_EQ(table.add(static_cast<DWORD>(n), pump(n)), 1);
    const DWORD* ids = table.threadIds();
    MessagePump* const* pumps = table.pumps();

    failing_heap::failFrom(1);
    EXPECT_EQ(table.remove(1), 1);
    EXPECT_EQ(table.threadIds(), ids);
    EXPECT_EQ(table.pumps(), pumps);
    expectEntries(table, {{2, pump(2)}, {3, pump(3)}}, "after a failing shrink");
}

}  // namespace
