// Linked into the test binaries whose tests read the body constants and the gait table: the
// core is set up once for the binary, before any test runs.
#include "model/core_setup.h"

#include <gtest/gtest.h>

namespace {

class CoreSetup : public ::testing::Environment {
    void SetUp() override { orva::setupCore(); }
};
[[maybe_unused]] const auto* const coreSetup = ::testing::AddGlobalTestEnvironment(new CoreSetup);

} // namespace
