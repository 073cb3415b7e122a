// GoogleTest runs these tests inside the program's own application class, so widgets
// can be built and the exception backstop is the one the program has.

#include "platform/Guard.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class GuiTestEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app_ = std::make_unique<qel::GuardedApplication>(argc_, argv_);
    }
    void TearDown() override { app_.reset(); }

private:
    int argc_ = 1;
    char name_[24] = "platform_services_test";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<qel::GuardedApplication> app_;
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new GuiTestEnvironment);

} // namespace
