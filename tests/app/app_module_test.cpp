#include "app/app_module.h"

#include <gtest/gtest.h>

#include "app/pump_table.h"
#include "support/platform_guard.h"
#include "failing_heap.h"

namespace {

DWORD fakeThreadId = 0;

DWORD WINAPI currentFakeThread()
{
    return fakeThreadId;
}

MessagePump* pump(int n)
{
    return reinterpret_cast<MessagePump*>(static_cast<intptr_t>(0x2000 + 0x10 * n));
}

class AppModuleTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        failing_heap::reset();
        appPlatform().malloc = failing_heap::malloc;
        appPlatform().GetCurrentThreadId = currentFakeThread;
        fakeThreadId = 100;
    }
    void TearDown() override
    {
        module.shutDown();
        failing_heap::reset();
    }

    // Looks a thread's pump up the way callers must: under the module lock.
    MessagePump* lookUp(DWORD threadId)
    {
        module.enterModuleLock();
        MessagePump* found = module.pumpForThread(threadId);
        module.leaveModuleLock();
        return found;
    }

    AppPlatformGuard guard;
    AppModule module;
};

TEST_F(AppModuleTest, StartUpStoresTheInstanceTwice)
{
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(0x400000);
    EXPECT_EQ(module.startUp(instance), 0);
    EXPECT_EQ(module.moduleInstance(), instance);
    EXPECT_EQ(module.resourceInstance(), instance);
    EXPECT_NE(module.pumpTable(), nullptr);
    EXPECT_EQ(module.pendingCreations(), nullptr);
    EXPECT_EQ(lookUp(100), nullptr) << "empty table";
}

TEST_F(AppModuleTest, RegistrationActsForTheCallingThread)
{
    ASSERT_EQ(module.startUp(nullptr), 0);
    EXPECT_EQ(module.registerPump(pump(1)), 1);
    EXPECT_EQ(module.registerPump(pump(2)), 1) << "second registration of one thread";
    fakeThreadId = 200;
    EXPECT_EQ(module.registerPump(pump(3)), 1);

    fakeThreadId = 300;
    EXPECT_EQ(module.unregisterPump(), 0) << "a thread with no entry";
    EXPECT_EQ(module.pumpTable()->count(), 3);

    fakeThreadId = 100;
    EXPECT_EQ(module.unregisterPump(), 1);
    EXPECT_EQ(lookUp(100), pump(2)) << "the second registration is left";
    EXPECT_EQ(lookUp(200), pump(3));
}

TEST_F(AppModuleTest, StartUpWithoutMemoryReportsItAndLeavesNoTable)
{
    failing_heap::failFrom(1);
    EXPECT_EQ(module.startUp(nullptr), E_OUTOFMEMORY);
    failing_heap::reset();
    EXPECT_EQ(module.pumpTable(), nullptr);

    // The locks work and nothing can be registered or found.
    EXPECT_EQ(module.registerPump(pump(1)), 0);
    EXPECT_EQ(module.unregisterPump(), 0);
    EXPECT_EQ(lookUp(100), nullptr);
    module.enterCreationLock();
    module.leaveCreationLock();
}

TEST_F(AppModuleTest, ShutDownFreesTheTableAndMayBeRepeated)
{
    module.shutDown();  // before any start-up
    ASSERT_EQ(module.startUp(nullptr), 0);
    ASSERT_EQ(module.registerPump(pump(1)), 1);
    module.shutDown();
    EXPECT_EQ(module.pumpTable(), nullptr);
    module.shutDown();

    ASSERT_EQ(module.startUp(nullptr), 0) << "starting again after shutting down";
    EXPECT_EQ(module.registerPump(pump(1)), 1);
    EXPECT_EQ(lookUp(100), pump(1));
}

}  // namespace
