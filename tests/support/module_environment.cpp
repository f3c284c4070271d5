// Linked into the test programs whose tests all run inside the application
// module, as everything of the program does: starts it before the first test
// and shuts it down after the last.
#include <gtest/gtest.h>

#include <memory>

#include "module_scope.h"

namespace {

class ModuleEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        module.reset(new ModuleScope);
        ASSERT_TRUE(module->started()) << "the application module did not start";
    }
    void TearDown() override { module.reset(); }

private:
    std::unique_ptr<ModuleScope> module;
};

::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new ModuleEnvironment);

}  // namespace
