#include "app/creation_list.h"

#include <gtest/gtest.h>

#include "app/app_module.h"
#include "app/window_binding.h"
#include "support/platform_guard.h"

namespace {

DWORD fakeThreadId = 0;

DWORD WINAPI currentFakeThread()
{
    return fakeThreadId;
}

class PendingDialog : public DialogBinding {
public:
    PendingDialog() : DialogBinding(WORD(1)) {}
    ~PendingDialog() = default;

    BOOL handleMessage(HWND, UINT, WPARAM, LPARAM, LRESULT&, DWORD) override { return 0; }
};

class CreationListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        appPlatform().GetCurrentThreadId = currentFakeThread;
        ASSERT_EQ(appModule.startUp(nullptr), 0);
    }
    void TearDown() override { appModule.shutDown(); }

    WindowBinding* takeFor(DWORD threadId)
    {
        fakeThreadId = threadId;
        return takeCreation();
    }

    AppPlatformGuard guard;
};

TEST_F(CreationListTest, EachThreadTakesItsOwnNewestRecord)
{
    PendingDialog a, b, c;
    fakeThreadId = 1;
    pushCreation(&a);
    fakeThreadId = 2;
    pushCreation(&b);
    fakeThreadId = 1;
    pushCreation(&c);

    EXPECT_EQ(takeFor(3), nullptr) << "a thread with no record";
    EXPECT_EQ(takeFor(1), &c) << "thread 1's newest";
    EXPECT_EQ(takeFor(1), &a) << "thread 1's older record, past thread 2's";
    EXPECT_EQ(takeFor(1), nullptr) << "thread 1 has none left";
    EXPECT_EQ(takeFor(2), &b) << "thread 2's record stayed in the list";
    EXPECT_EQ(appModule.pendingCreations(), nullptr);
    EXPECT_EQ(takeFor(2), nullptr) << "empty list";
}

TEST_F(CreationListTest, CancelUnlinksOnlyAStillPendingRecord)
{
    PendingDialog a, b, c;
    fakeThreadId = 1;
    pushCreation(&a);
    pushCreation(&b);
    pushCreation(&c);

    EXPECT_TRUE(cancelCreation(&b)) << "a record in the middle";
    EXPECT_FALSE(cancelCreation(&b)) << "the same record again";
    EXPECT_EQ(takeFor(1), &c);
    EXPECT_FALSE(cancelCreation(&c)) << "a record already taken";
    EXPECT_TRUE(cancelCreation(&a)) << "the last record";
    EXPECT_EQ(appModule.pendingCreations(), nullptr);
}

TEST_F(CreationListTest, BootstrapWithoutARecordOfItsThreadDoesNothing)
{
    PendingDialog other;
    fakeThreadId = 1;
    pushCreation(&other);

    fakeThreadId = 2;
    EXPECT_EQ(DialogBinding::bootstrapDialogProc(nullptr, WM_INITDIALOG, 0, 0), FALSE);
    EXPECT_EQ(other.window(), nullptr);
    EXPECT_EQ(takeFor(1), &other) << "another thread's record was left alone";
}

}  // namespace
