// Guards of function-local statics, as the program's own runtime entry points
// provide them (linked into this test program in place of the library's).
#include <gtest/gtest.h>
#include <windows.h>

namespace {

LONG initialisations = 0;

int SlowInitialiser()
{
    InterlockedIncrement(&initialisations);
    Sleep(50);  // long enough for every other thread to arrive meanwhile
    return 42;
}

int SharedValue()
{
    static const int value = SlowInitialiser();
    return value;
}

struct Racer {
    HANDLE start;
    int seen;
};

DWORD WINAPI Race(void* parameter)
{
    Racer* racer = static_cast<Racer*>(parameter);
    WaitForSingleObject(racer->start, INFINITE);
    racer->seen = SharedValue();
    return 0;
}

TEST(StaticGuard, ThreadsRacingToTheFirstUseInitialiseOnceAndAllSeeTheValue)
{
    const int Threads = 8;
    HANDLE start = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(nullptr, start);
    Racer racers[Threads];
    HANDLE threads[Threads];
    for (int i = 0; i < Threads; ++i) {
        racers[i] = {start, 0};
        threads[i] = CreateThread(nullptr, 0, Race, &racers[i], 0, nullptr);
        ASSERT_NE(nullptr, threads[i]) << "thread " << i;
    }
    SetEvent(start);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForMultipleObjects(Threads, threads, TRUE, 10000));
    EXPECT_EQ(1, initialisations);
    for (int i = 0; i < Threads; ++i) {
        EXPECT_EQ(42, racers[i].seen) << "thread " << i;
        CloseHandle(threads[i]);
    }
    CloseHandle(start);
}

}  // namespace
