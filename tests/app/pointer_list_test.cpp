#include "app/pointer_list.h"

#include <gtest/gtest.h>

#include "support/platform_guard.h"
#include "failing_heap.h"

namespace {

void* item(int n)
{
    return reinterpret_cast<void*>(static_cast<intptr_t>(0x100 + n));
}

TEST(PointerList, CapacityDoublesFromOne)
{
    PointerList list;
    EXPECT_EQ(list.items(), nullptr);
    const LONG expectedCapacity[] = {1, 2, 4, 4, 8, 8, 8, 8, 16};
    for (int n = 0; n < 9; ++n) {
        ASSERT_EQ(list.append(item(n)), 1) << "append " << n;
        EXPECT_EQ(list.count(), n + 1) << "after append " << n;
        EXPECT_EQ(list.capacity(), expectedCapacity[n]) << "after append " << n;
    }
    for (int n = 0; n < 9; ++n)
        EXPECT_EQ(list.items()[n], item(n)) << "slot " << n;
}

TEST(PointerList, FailingGrowthLeavesTheListAsItWas)
{
    AppPlatformGuard guard;
    appPlatform().realloc = failing_heap::realloc;

    // From empty, and from a full list of two.
    for (int filled : {0, 2}) {
        failing_heap::reset();
        PointerList list;
        for (int n = 0; n < filled; ++n)
            ASSERT_EQ(list.append(item(n)), 1);
        void** before = list.items();

        failing_heap::failFrom(1);
        EXPECT_EQ(list.append(item(9)), 0) << "filled " << filled;
        EXPECT_EQ(list.items(), before) << "filled " << filled;
        EXPECT_EQ(list.count(), filled) << "filled " << filled;
        EXPECT_EQ(list.capacity(), filled) << "filled " << filled;
        for (int n = 0; n < filled; ++n)
            EXPECT_EQ(list.items()[n], item(n)) << "filled " << filled << " slot " << n;
        failing_heap::reset();
    }
}

TEST(PointerList, NullEntriesAreKeptAndReleaseEmptiesTheList)
{
    PointerList list;
    ASSERT_EQ(list.append(nullptr), 1);
    ASSERT_EQ(list.append(item(1)), 1);
    EXPECT_EQ(list.items()[0], nullptr);
    EXPECT_EQ(list.count(), 2);

    list.release();
    EXPECT_EQ(list.items(), nullptr);
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(list.capacity(), 0);

    ASSERT_EQ(list.append(item(2)), 1);
    EXPECT_EQ(list.capacity(), 1);
    EXPECT_EQ(list.items()[0], item(2));
}

}  // namespace
