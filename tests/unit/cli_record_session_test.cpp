#include "cli/record_session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/status_texts.h"
#include "link_fake_device.h"

namespace quelm::cli {
namespace {

using namespace status_text;

namespace fs = std::filesystem;
using test::FakeDevice;
using test::FrameMode;

struct LoggedRecord {
    int seq;         // the TPS word the fake device numbers its frames with
    int hundredths;  // time stamp
};

std::vector<LoggedRecord> ReadLog(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<LoggedRecord> records;
    std::array<unsigned char, 48> r{};
    while (in.read(reinterpret_cast<char*>(r.data()), r.size())) {
        records.push_back({r[2] * 256 + r[3], r[38] * 65536 + r[39] * 256 + r[40]});
    }
    return records;
}

std::vector<int> Seqs(const std::vector<LoggedRecord>& records) {
    std::vector<int> seqs;
    for (const auto& r : records) {
        seqs.push_back(r.seq);
    }
    return seqs;
}

class RecordSessionTest : public ::testing::Test {
  protected:
    VirtualRuntime clock;
    FakeDevice device{clock};
    HookedRuntime rt{clock};
    StatusModel status;
    ComPortMap map;
    LinkContext ctx{device, rt, status, map};
    LogRecorder recorder;
    std::ostringstream err;
    fs::path dir;
    fs::path out;
    bool interrupt = false;

    RecordSessionTest() {
        ctx.ComPort = 1;
        ctx.MaxBaudRate = "57600";
        device.maxRate = 57600;
        rt.interrupted = [this] { return interrupt; };
        dir = fs::temp_directory_path() /
              ("quelm_record_" + std::to_string(::getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        out = dir / "run.qm1";
    }
    ~RecordSessionTest() override { fs::remove_all(dir); }

    RecordReport Run(RecordLimits limits) {
        RecordSession session(ctx, rt, recorder, out, limits, err);
        return session.Run();
    }
    void Script(std::initializer_list<std::pair<int, FrameMode>> runs) {
        for (auto [count, mode] : runs) {
            device.frames.insert(device.frames.end(), count, mode);
        }
    }
    int Lines(const std::string& text) const {
        const std::string all = err.str();
        int n = 0;
        for (auto at = all.find(text); at != std::string::npos; at = all.find(text, at + 1)) {
            ++n;
        }
        return n;
    }
};

TEST_F(RecordSessionTest, RecordsEveryGoodFrameOnceInOrderThenStopsAtTheCount) {
    Script({{3, FrameMode::Good}, {1, FrameMode::BadChecksum}, {1, FrameMode::Split}});
    const RecordReport r = Run({.frames = 10, .seconds = {}});
    EXPECT_EQ(r.end, RecordEnd::FramesReached);
    EXPECT_EQ(r.ExitCode(), 0);
    EXPECT_EQ(r.connection, "Ready @ 57600");
    EXPECT_EQ(r.rate, "57600");
    EXPECT_EQ(r.out, out.string());
    EXPECT_EQ(r.status, kComStopped);
    EXPECT_EQ(r.records, 10u);
    EXPECT_EQ(r.stats.ChecksumErrors, 1);
    EXPECT_EQ(r.stats.TimeoutErrors, 0);
    EXPECT_EQ(device.polls, 12) << "none after the one sent before the tenth good frame is logged";

    const auto log = ReadLog(out);
    EXPECT_EQ(Seqs(log), (std::vector<int>{0, 1, 2, 4, 5, 6, 7, 8, 9, 10}))
        << "the bad frame (3) is not logged";
    EXPECT_LE(log.front().hundredths, 1) << "stamps count from the start of the recording";
    for (std::size_t i = 1; i < log.size(); ++i) {
        EXPECT_LE(log[i - 1].hundredths, log[i].hundredths) << i;
    }
    EXPECT_GT(log.back().hundredths, log.front().hundredths);
    EXPECT_EQ(fs::file_size(out), 10u * 48);
    EXPECT_FALSE(device.IsOpen()) << "the port is closed at the end";
    EXPECT_NE(err.str().find("Recording to " + out.string()), std::string::npos);
}

TEST_F(RecordSessionTest, StopsAfterTheSecondsAndPrintsStatisticsOncePerSecond) {
    const RecordReport r = Run({.frames = {}, .seconds = 3.5});
    EXPECT_EQ(r.end, RecordEnd::SecondsReached);
    EXPECT_EQ(r.ExitCode(), 0);
    EXPECT_GE(r.pollingSeconds, 3.5);
    EXPECT_LT(r.pollingSeconds, 3.6);
    EXPECT_EQ(Lines(" FPS"), 3);
    EXPECT_EQ(r.records, static_cast<std::uint64_t>(r.stats.TotalFrames));
    EXPECT_EQ(ReadLog(out).size(), r.records);
}

TEST_F(RecordSessionTest, NoAnswerEndsInComRetryWithoutALog) {
    device.present = false;
    std::ofstream(out) << "older";  // a file --overwrite would have replaced
    const RecordReport r = Run({.frames = 5, .seconds = {}});
    EXPECT_EQ(r.end, RecordEnd::NotConnected);
    EXPECT_EQ(r.ExitCode(), 1);
    EXPECT_EQ(r.status, kComRetry);
    EXPECT_EQ(r.records, 0u);
    EXPECT_EQ(fs::file_size(out), 5u) << "untouched";
    EXPECT_FALSE(r.rate.has_value()) << *r.rate;
    EXPECT_EQ(r.out, "") << "not this session's log";
}

TEST_F(RecordSessionTest, PortErrorWhileConnectingIsReportedWithItsKind) {
    device.failOpen = true;
    const RecordReport r = Run({.frames = 5, .seconds = {}});
    EXPECT_EQ(r.end, RecordEnd::PortFailure);
    EXPECT_EQ(r.ExitCode(), 1);
    ASSERT_TRUE(r.portFailure.has_value());
    EXPECT_EQ(r.portFailure->kind(), SerialPortErrorKind::NotFound);
    EXPECT_FALSE(r.portFailure->detail().empty());
    EXPECT_FALSE(fs::exists(out));
    EXPECT_FALSE(r.rate.has_value()) << *r.rate;
    EXPECT_EQ(r.out, "");
}

TEST_F(RecordSessionTest, PortVanishingMidRecordingKeepsTheRecords) {
    device.vanishAfterPolls = 5;
    const RecordReport r = Run({.frames = 100, .seconds = {}});
    EXPECT_EQ(r.end, RecordEnd::PortLost);
    EXPECT_EQ(r.ExitCode(), 1);
    EXPECT_EQ(r.status, kComStopped);
    EXPECT_EQ(r.records, 4u);
    EXPECT_EQ(Seqs(ReadLog(out)), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_NE(r.message.find("went away"), std::string::npos) << r.message;
}

TEST_F(RecordSessionTest, WriteFailureStopsRecordingAndKeepsEarlierRecords) {
    const fs::path kept = dir / "kept.qm1";
    device.onPoll = [&](int poll) {
        if (poll == 5) {  // sent before the fourth frame is logged
            // The log can no longer be opened for writing where it was.
            fs::rename(out, kept);
            fs::create_directory(out);
        }
    };
    const RecordReport r = Run({.frames = 100, .seconds = {}});
    EXPECT_EQ(r.end, RecordEnd::WriteFailed);
    EXPECT_EQ(r.ExitCode(), 1);
    EXPECT_EQ(r.records, 3u);
    EXPECT_NE(r.message.find("Logging Stopped."), std::string::npos) << r.message;
    EXPECT_EQ(device.polls, 5) << "polling stops with the recording";
    EXPECT_EQ(Seqs(ReadLog(kept)), (std::vector<int>{0, 1, 2}));
    EXPECT_NE(err.str().find("3 records in"), std::string::npos) << err.str();
}

TEST_F(RecordSessionTest, InterruptStopsAtTheNextTurnAndKeepsTheRecords) {
    device.onPoll = [&](int poll) {
        if (poll == 7) {
            interrupt = true;
        }
    };
    const RecordReport r = Run({.frames = 100, .seconds = {}});
    EXPECT_EQ(r.end, RecordEnd::Interrupted);
    EXPECT_EQ(r.ExitCode(), 0);
    EXPECT_EQ(r.status, kComStopped);
    EXPECT_EQ(r.records, 6u) << "the frame read before the interrupt is recorded";
    EXPECT_EQ(r.stats.TimeoutErrors, 0) << "and not cut short into a timeout";
    EXPECT_EQ(device.polls, 7);
    EXPECT_EQ(ReadLog(out).size(), 6u);
    EXPECT_FALSE(device.IsOpen());
}

TEST_F(RecordSessionTest, InterruptDuringAReconnectionAbortsItPromptly) {
    double interruptedAt = 0;
    device.onPoll = [&](int poll) {
        if (poll == 3) {
            device.present = false;
        }
    };
    device.onSetDevice = [&](int call) {
        if (call == 2) {  // the reconnection has begun
            interrupt = true;
            interruptedAt = clock.Now();
        }
    };
    const RecordReport r = Run({.frames = 100, .seconds = {}});
    EXPECT_EQ(r.end, RecordEnd::Interrupted);
    EXPECT_EQ(r.records, 3u);
    EXPECT_EQ(r.status, kComStopped);
    EXPECT_LT(clock.Now() - interruptedAt, 1.0);
}

TEST_F(RecordSessionTest, InterruptWhileConnectingRecordsNothing) {
    device.onSetDevice = [&](int) { interrupt = true; };
    const RecordReport r = Run({.frames = 100, .seconds = {}});
    EXPECT_EQ(r.end, RecordEnd::Interrupted);
    EXPECT_EQ(r.records, 0u);
    EXPECT_FALSE(fs::exists(out));
}

TEST_F(RecordSessionTest, FullTimeStampStopsRecordingWithTheLimitMessage) {
    device.onPoll = [&](int poll) {
        if (poll == 4) {
            clock.Advance(46.7 * 3600);
        }
    };
    const RecordReport r = Run({.frames = 100, .seconds = {}});
    EXPECT_EQ(r.end, RecordEnd::TimeLimit);
    EXPECT_EQ(r.ExitCode(), 0);
    EXPECT_EQ(r.message, "Maximum 46hour Log Time Exceeded.  Logging Stopped.");
    EXPECT_EQ(r.records, 2u);
    EXPECT_EQ(ReadLog(out).size(), 2u);
}

TEST_F(RecordSessionTest, DeviceGoneQuietAndThreeFailedReconnectionsEndInComFail) {
    device.onPoll = [&](int poll) {
        if (poll == 3) {
            device.present = false;
        }
    };
    const RecordReport r = Run({.frames = 100, .seconds = {}});
    EXPECT_EQ(r.end, RecordEnd::LinkFailed);
    EXPECT_EQ(r.ExitCode(), 1);
    EXPECT_EQ(r.status, kComStopped);
    EXPECT_EQ(r.records, 3u);
    EXPECT_EQ(r.stats.TimeoutErrors, 11);
    EXPECT_EQ(r.rate, "57600") << "the rate the frames came at, not that of the failed retries";
}

}  // namespace
}  // namespace quelm::cli
