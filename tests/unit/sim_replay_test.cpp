#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "decode/frame_decoder.h"
#include "files/log_format.h"
#include "sim/frame_source.h"
#include "sim/sim_command.h"

namespace quelm::sim {
namespace {

namespace fs = std::filesystem;

class TempLog {
  public:
    explicit TempLog(const std::string& name)
        : path_(fs::temp_directory_path() / (name + "_" + std::to_string(::getpid()) + ".qm1")) {}
    ~TempLog() { fs::remove(path_); }
    const fs::path& path() const { return path_; }

    // Records whose frame byte 0 is the record number, stamped every `step` hundredths.
    void Write(int records, int step, std::size_t trailing = 0) {
        std::ofstream out(path_, std::ios::binary);
        for (int n = 0; n < records; ++n) {
            std::array<char, kLogRecordBytes> rec{};
            Frame f{};
            f[0] = static_cast<std::uint8_t>(n + 1);
            SealFrame(f);
            std::copy(f.begin(), f.end(), rec.begin());
            const int stamp = n * step;
            rec[38] = static_cast<char>(stamp >> 16);
            rec[39] = static_cast<char>((stamp >> 8) & 0xFF);
            rec[40] = static_cast<char>(stamp & 0xFF);
            out.write(rec.data(), rec.size());
        }
        out.write(std::string(trailing, '\x7f').data(), static_cast<std::streamsize>(trailing));
    }

  private:
    fs::path path_;
};

std::vector<LogFrame> Load(const TempLog& log) {
    auto result = ReadLogFrames(log.path());
    EXPECT_TRUE(std::holds_alternative<std::vector<LogFrame>>(result));
    return std::get<std::vector<LogFrame>>(std::move(result));
}

TEST(SimReplay, ReadsWholeRecordsAndTheirStamps) {
    TempLog log("replay_read");
    log.Write(3, 300, 20);  // a partial record at the end is left out
    const auto records = Load(log);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[2].frame[0], 3);
    EXPECT_DOUBLE_EQ(records[2].seconds, 6.0);
    EXPECT_TRUE(FrameChecksumGood(records[1].frame));
}

TEST(SimReplay, EmptyOrMissingLogIsReported) {
    TempLog log("replay_empty");
    log.Write(0, 0, 47);
    EXPECT_TRUE(std::holds_alternative<std::string>(ReadLogFrames(log.path())));
    EXPECT_TRUE(std::holds_alternative<std::string>(ReadLogFrames("/nonexistent/x.qm1")));
}

TEST(SimReplay, PlaysInRecordedTimeAndLoops) {
    TempLog log("replay_timed");
    log.Write(3, 100);  // stamps 0, 1, 2 s: one pass lasts 3 s
    ReplaySource replay(Load(log));
    EXPECT_EQ(replay.FrameAt(0.0)[0], 1);
    EXPECT_EQ(replay.FrameAt(0.99)[0], 1);
    EXPECT_EQ(replay.FrameAt(1.0)[0], 2);
    EXPECT_EQ(replay.FrameAt(2.5)[0], 3);
    EXPECT_EQ(replay.FrameAt(3.1)[0], 1);
    EXPECT_EQ(replay.FrameAt(4.2)[0], 2);
}

TEST(SimReplay, UnstampedLogPlaysOneRecordPerRequest) {
    TempLog log("replay_untimed");
    log.Write(2, 0);
    ReplaySource replay(Load(log));
    EXPECT_EQ(replay.FrameAt(0)[0], 1);
    EXPECT_EQ(replay.FrameAt(0)[0], 2);
    EXPECT_EQ(replay.FrameAt(0)[0], 1);
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
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"--max-rate", "14400"},
                                               {"--max-rate"},
                                               {"--scenario", "drag"},
                                               {"--codes", "1"},
                                               {"--short-every", "0"},
                                               {"--drop-after", "x"},
                                               {"--frobnicate", "1"},
                                               {"--help=me"}}) {
        EXPECT_TRUE(std::holds_alternative<std::string>(ParseSimCommand(args))) << args[0];
    }
    const auto help = ParseSimCommand({"--help"});
    ASSERT_TRUE(std::holds_alternative<SimCommand>(help));
    EXPECT_TRUE(std::get<SimCommand>(help).help);
}

}  // namespace
}  // namespace quelm::sim
