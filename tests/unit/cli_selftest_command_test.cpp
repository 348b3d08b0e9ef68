#include "cli/selftest_command.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_runtime.h"
#include "fake_flashing_device.h"
#include "link_fake_device.h"
#include "tools/link_self_test_device.h"

namespace quelm::cli {
namespace {

TEST(SelftestCommand, ParsesPortAndYes) {
    std::string error;
    const std::vector<std::string> full{"--port=/dev/pts/3", "--yes"};
    auto a = ParseSelftestArgs(full, error);
    ASSERT_TRUE(a.has_value()) << error;
    EXPECT_EQ(a->port, "/dev/pts/3");
    EXPECT_TRUE(a->yes);

    const std::vector<std::string> noYes{"--port", "/dev/ttyS0"};
    a = ParseSelftestArgs(noYes, error);
    ASSERT_TRUE(a.has_value());
    EXPECT_FALSE(a->yes);

    for (const auto& bad : std::vector<std::vector<std::string>>{
             {}, {"--yes"}, {"--port"}, {"--port", "/dev/x", "--fast"}, {"--port=", "/dev/x"}}) {
        error.clear();
        EXPECT_FALSE(ParseSelftestArgs(bad, error).has_value());
        EXPECT_FALSE(error.empty());
    }
}

class SelftestRun : public ::testing::Test {
  protected:
    VirtualRuntime rt;
    FlashingDevice device{rt};
    std::istringstream in;
    std::ostringstream out, err;
};

TEST_F(SelftestRun, WithoutYesWaitsForEnterAndGivesUpAtEndOfInput) {
    device.FlashCodes({{1, 1}});
    in.str("\n");
    EXPECT_EQ(RunSelftest({"/dev/x", false}, device, rt, in, out, err), 0);
    EXPECT_NE(err.str().find("Turn off ignition, wait 3 seconds, turn on ignition"),
              std::string::npos);
    EXPECT_EQ(out.str(), " 11:System Pass\nSelf Test Complete\n");

    FlashingDevice untouched{rt};
    std::istringstream closed;
    std::ostringstream out2;
    EXPECT_EQ(RunSelftest({"/dev/x", false}, untouched, rt, closed, out2, err), 1);
    EXPECT_TRUE(untouched.sent.empty()) << "nothing is sent without the confirmation";
    EXPECT_EQ(untouched.connects, 0);
}

// On the real link: a device that never identifies itself ("COM Retry") gets no test, and a
// test the user interrupts (here, after ten minutes of a light that never comes on) did not
// complete. Neither says "Self Test Complete" or exits 0.
TEST(SelftestOnTheLink, NoAnswerOrInterruptFailsWithoutClaimingCompletion) {
    for (const bool answers : {false, true}) {
        SCOPED_TRACE(answers ? "interrupted" : "COM Retry");
        VirtualRuntime clock;
        test::FakeDevice port{clock};
        port.present = answers;
        HookedRuntime rt{clock};
        const double start = clock.Now();
        rt.interrupted = [&] { return clock.Now() - start > 600; };
        StatusModel status;
        ComPortMap map;
        LinkContext ctx{port, rt, status, map};
        ctx.ComPort = 1;
        LinkSelfTestDevice device(ctx, UnansweredConnect::Refuse);
        std::istringstream in;
        std::ostringstream out, err;
        EXPECT_EQ(RunSelftest({"/dev/x", true}, device, rt, in, out, err), 1);
        EXPECT_EQ(out.str(), "");
        EXPECT_EQ(err.str().find("COM Retry") != std::string::npos, !answers) << err.str();
    }
}

}  // namespace
}  // namespace quelm::cli
