// The main of every test program: GoogleTest's, with two checks added. An
// exception that nothing took on purpose fails the test during which it was
// raised, and a programming error the framework reports fails the running
// test; the platform would let either pass unnoticed.
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "app/programming_error.h"
#include "exception_monitor.h"

namespace {

void failRunningTest(const char* what)
{
    ADD_FAILURE() << "programming error: " << what;
}

class ExceptionCheck : public ::testing::EmptyTestEventListener {
public:
    // Raised after the previous test ended, on some thread still running,
    // or while the test program's environment was being set up.
    void OnTestStart(const ::testing::TestInfo&) override
    {
        failForSeenExceptions("before this test began: ");
    }
    void OnTestEnd(const ::testing::TestInfo&) override { failForSeenExceptions(""); }
};

}  // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (!startExceptionMonitor()) {
        fprintf(stderr, "the exception monitor could not be installed\n");
        return 1;
    }
    setProgrammingErrorHandler(failRunningTest);
    ::testing::UnitTest::GetInstance()->listeners().Append(new ExceptionCheck);

    int status = RUN_ALL_TESTS();

    // Raised after the last test, while the environment was torn down.
    long count = 0;
    const std::vector<SeenException> late = takeSeenExceptions(&count);
    for (const SeenException& exception : late)
        fprintf(stderr, "after the last test: %s, which nothing took on purpose\n",
                describe(exception).c_str());
    if (count > 0)
        status = 1;
    return status;
}
