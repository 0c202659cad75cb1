#include "core/base/RuntimeError.h"
#include "core/base/Trap.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

namespace nimbrel {
namespace {

using testing::RecordingReporter;

TEST(Trap, AFailingStepIsReportedAndTheNextStepRuns)
{
    RecordingReporter reporter;
    const Trap trap(reporter, "frmMain,tmrAuto_Timer");
    std::vector<int> ran;
    trap([&] { ran.push_back(1); });
    trap([&] { throw RuntimeError(380, "Invalid property value"); });
    trap([&] { ran.push_back(3); });
    EXPECT_EQ(ran, (std::vector<int>{1, 3}));
    ASSERT_EQ(reporter.errors.size(), 1u);
    EXPECT_EQ(reporter.errors[0].tag, "frmMain,tmrAuto_Timer");
    EXPECT_EQ(reporter.errors[0].number, 380);
    EXPECT_EQ(reporter.errors[0].description, "Invalid property value");
}

TEST(Trap, OtherExceptionsAndAFailingReporterNeverEscape)
{
    class ThrowingReporter : public ErrorReporter {
    public:
        void reportError(const std::string&, int, const std::string&) override { throw std::runtime_error("down"); }
    } reporter;
    const Trap trap(reporter, "modReg,regSetValue");
    EXPECT_FALSE(trap([] { throw std::bad_alloc(); }));
    EXPECT_FALSE(trap([] { throw std::logic_error("x"); }));
    EXPECT_TRUE(trap([] {}));
}

TEST(Trap, ASilentTrapSwallowsWithoutReport)
{
    EXPECT_FALSE(Trap::silent()([] { throw errors::overflow(); }));
}

} // namespace
} // namespace nimbrel
