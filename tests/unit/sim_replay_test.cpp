#include <gtest/gtest.h>

#include <string>

#include "decode/frame_decoder.h"
#include "files_test_support.h"
#include "sim/frame_source.h"
#include "sim/sim_command.h"

namespace quelm::sim {
namespace {

using testing::StampedFrame;

std::vector<LogFrame> Load(const std::filesystem::path& log) {
    auto result = ReadLogFrames(log);
    EXPECT_TRUE(std::holds_alternative<std::vector<LogFrame>>(result));
    return std::get<std::vector<LogFrame>>(std::move(result));
}

TEST(SimReplay, ReadsWholeRecordsAndTheirStampsAndReportsAnEmptyLog) {
    testing::ScratchDir dir;
    testing::WriteLog(
        dir / "run.qm1", 3, [](std::uint32_t n) { return n * 300; }, 20);
    const auto records = Load(dir / "run.qm1");  // the partial record at the end is left out
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[2].frame[0], StampedFrame(900)[0]);
    EXPECT_DOUBLE_EQ(records[2].seconds, 9.0);
    EXPECT_TRUE(FrameChecksumGood(records[1].frame));
    testing::Put(dir / "short.qm1", std::string(47, '\0'));
    EXPECT_TRUE(std::holds_alternative<std::string>(ReadLogFrames(dir / "short.qm1")));
}

TEST(SimReplay, PlaysInRecordedTimeAndLoops) {
    testing::ScratchDir dir;
    testing::WriteLog(dir / "run.qm1", 3, [](std::uint32_t n) { return (n - 1) * 100; });
    ReplaySource replay(Load(dir / "run.qm1"));  // stamps 0, 1, 2 s: one pass lasts 3 s
    for (const auto& [at, stamp] :
         {std::pair{0.0, 0}, {0.99, 0}, {1.0, 100}, {2.5, 200}, {3.1, 0}, {4.2, 100}}) {
        EXPECT_EQ(replay.FrameAt(at)[0], StampedFrame(stamp)[0]) << at;
    }
}

TEST(SimCommandLine, OptionsReachTheDevice) {
    const auto parsed =
        ParseSimCommand({"--max-rate=38400", "--scenario", "wot", "--codes=11,23",
                         "--bad-checksum-every", "5", "--short-every", "7", "--burst-every", "9",
                         "--silent-after", "100", "--drop-after", "200", "--replay", "x.qm1"});
    ASSERT_TRUE(std::holds_alternative<SimCommand>(parsed));
    const SimCommand& cmd = std::get<SimCommand>(parsed);
    EXPECT_EQ(cmd.device.maxRate, 38400);
    EXPECT_EQ(cmd.scenario, Scenario::Wot);
    EXPECT_EQ(cmd.device.codes, (std::vector<int>{11, 23}));
    EXPECT_EQ(cmd.device.faults.badChecksumEvery, 5);
    EXPECT_EQ(cmd.device.faults.shortEvery, 7);
    EXPECT_EQ(cmd.device.faults.burstEvery, 9);
    EXPECT_EQ(cmd.device.faults.silentAfter, 100);
    EXPECT_EQ(cmd.device.faults.dropAfter, 200);
    EXPECT_EQ(cmd.replay, "x.qm1");
}

TEST(SimCommandLine, BadValuesAreRefused) {
    const std::vector<std::vector<std::string>> bad{
        {"--max-rate", "14400"}, {"--max-rate"},        {"--scenario", "drag"}, {"--codes", "1"},
        {"--short-every", "0"},  {"--drop-after", "x"}, {"--frobnicate", "1"},  {"--help=me"}};
    for (const auto& args : bad) {
        EXPECT_TRUE(std::holds_alternative<std::string>(ParseSimCommand(args))) << args[0];
    }
    const auto help = ParseSimCommand({"--help"});
    ASSERT_TRUE(std::holds_alternative<SimCommand>(help));
    EXPECT_TRUE(std::get<SimCommand>(help).help);
}

}  // namespace
}  // namespace quelm::sim
