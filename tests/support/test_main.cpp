// The main of every test program: GoogleTest's, with a check added. A
// programming error the framework reports fails the running test; the
// program itself reports it to no one.
#include <gtest/gtest.h>

#include "app/programming_error.h"

namespace {

void failRunningTest(const char* what)
{
    ADD_FAILURE() << "programming error: " << what;
}

}  // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    setProgrammingErrorHandler(failRunningTest);
    return RUN_ALL_TESTS();
}
