#include <gtest/gtest.h>

#include "app/app_module.h"

namespace {

// Starts the application module for the whole test program, as the program
// entry does for the application.
class AppModuleEnvironment : public ::testing::Environment {
public:
    void SetUp() override { ASSERT_EQ(appModule.startUp(GetModuleHandleA(nullptr)), 0); }
    void TearDown() override { appModule.shutDown(); }
};

::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new AppModuleEnvironment);

}  // namespace
