#include "toolkit/process_lifecycle.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// Ends the toolkit after the last test, as the application does before it exits, so that the
// desktop connection goes while Qt can still take it down cleanly.
class ToolkitEnvironment : public ::testing::Environment {
public:
    void TearDown() override { shutdownToolkit(); }
};

// GoogleTest owns the environment.
[[maybe_unused]] const auto* const g_environment
    = ::testing::AddGlobalTestEnvironment(std::make_unique<ToolkitEnvironment>().release());

} // namespace
