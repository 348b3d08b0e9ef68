#include <gtest/gtest.h>

#include "common/twips.h"
#include "shell/dash_options.h"

namespace quelm {
namespace {

TEST(DashOptions, ReadsEveryOption) {
    // A value follows its option or an equals sign.
    const auto parsed =
        ParseDashOptions({"--config=/tmp/q.ini", "--open", "mnuComStats", "--simulate",
                          "--scenario", "wot", "--connect", "--minimized", "--stats-log", "s.log",
                          "--scopes=10", "--no-layout", "--open", "mnuViewquelmscope1"});
    ASSERT_TRUE(std::holds_alternative<DashOptions>(parsed)) << std::get<std::string>(parsed);
    const auto& o = std::get<DashOptions>(parsed);
    EXPECT_EQ(o.config, "/tmp/q.ini");
    EXPECT_TRUE(o.simulate);
    EXPECT_TRUE(o.connect);
    EXPECT_EQ(o.scenario, sim::Scenario::Wot);
    EXPECT_TRUE(o.port.empty());
    EXPECT_TRUE(o.minimized);
    EXPECT_EQ(o.statsLog, "s.log");
    EXPECT_EQ(o.scopes, 10);
    EXPECT_TRUE(o.noLayout);
    EXPECT_EQ(o.open, (std::vector<std::string>{"mnuComStats", "mnuViewquelmscope1"}));

    const auto port = ParseDashOptions({"--port", "/dev/ttyUSB0"});
    ASSERT_TRUE(std::holds_alternative<DashOptions>(port));
    EXPECT_EQ(std::get<DashOptions>(port).port, "/dev/ttyUSB0");
    EXPECT_FALSE(std::get<DashOptions>(port).simulate);
}

TEST(DashOptions, RefusesWhatItCannotUse) {
    const std::vector<std::vector<std::string>> bad{{"--config"},
                                                    {"--port", ""},
                                                    {"--scenario", "idle"},
                                                    {"--bogus"},
                                                    {"--simulate", "--scenario", "race"},
                                                    {"--port", "/dev/ttyS0", "--simulate"},
                                                    {"--scopes", "0"},
                                                    {"--scopes", "11"},
                                                    {"--scopes", "3x"},
                                                    {"--scopes="},
                                                    {"--connect=yes"},
                                                    {"--open"},
                                                    {"--open", ""}};
    for (const auto& args : bad) {
        EXPECT_TRUE(std::holds_alternative<std::string>(ParseDashOptions(args))) << args.front();
    }
}

TEST(Twips, FifteenToThePixelAtNinetySixDpi) {
    EXPECT_EQ(TwipsToPixels(kDashHeightCompactTwips, 96), 505);
    EXPECT_EQ(TwipsToPixels(kDashHeightFullTwips, 96), 605);
    EXPECT_EQ(TwipsToPixels(kDashHeightFullTwips, 192), 1210);
    EXPECT_EQ(PixelsToTwips(605, 96), kDashHeightFullTwips);
    EXPECT_EQ(PixelsToTwips(10, 0), 0);
    // The TPS gauge fills the window less its frame and caption.
    EXPECT_EQ(TpsGaugeSize({3000, 2500}), (TwipSize{2880, 2095}));
    EXPECT_EQ(TpsGaugeSize({120, 405}), (TwipSize{0, 0}));
    EXPECT_EQ(TpsGaugeSize({50, 50}), (TwipSize{0, 0}));
}

}  // namespace
}  // namespace quelm
