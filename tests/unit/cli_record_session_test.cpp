#include "cli/record_session.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "common/status_texts.h"
#include "files_test_support.h"
#include "link_fake_device.h"

namespace quelm::cli {
namespace {

using namespace status_text;

namespace fs = std::filesystem;
using test::FrameMode;

// A session on the fake device at up to 57600, recording into a scratch folder.
struct Rig {
    VirtualRuntime clock;
    test::FakeDevice device{clock};
    HookedRuntime rt{clock};
    StatusModel status;
    ComPortMap map;
    LinkContext ctx{device, rt, status, map};
    LogRecorder recorder;
    std::ostringstream err;
    testing::ScratchDir dir;
    fs::path out = dir / "run.qm1";
    bool interrupt = false;

    Rig() {
        ctx.ComPort = 1;
        ctx.MaxBaudRate = "57600";
        device.maxRate = 57600;
        rt.interrupted = [this] { return interrupt; };
    }
    RecordReport Run(RecordLimits limits = {.frames = 100, .seconds = {}}) {
        RecordSession session(ctx, rt, recorder, out, limits, err);
        return session.Run();
    }
    // The number the fake device gave each logged frame (its TPS word), and the stamps.
    static std::vector<int> Logged(const fs::path& log, std::vector<std::uint32_t>* stamps = {}) {
        const std::string bytes = testing::Slurp(log);
        std::vector<int> seqs;
        for (std::size_t at = 0; at + kLogRecordBytes <= bytes.size(); at += kLogRecordBytes) {
            const auto* r = reinterpret_cast<const std::uint8_t*>(bytes.data() + at);
            seqs.push_back(r[2] * 256 + r[3]);
            if (stamps != nullptr) {
                stamps->push_back(TimeStampHundredths({r, kLogRecordBytes}));
            }
        }
        return seqs;
    }
};

TEST(RecordSession, RecordsEveryGoodFrameOnceInOrderThenStopsAtTheCount) {
    Rig r;
    for (FrameMode m : {FrameMode::Good, FrameMode::Good, FrameMode::Good, FrameMode::BadChecksum,
                        FrameMode::Split}) {
        r.device.frames.push_back(m);
    }
    const RecordReport rep = r.Run({.frames = 10, .seconds = {}});
    EXPECT_EQ(rep.end, RecordEnd::FramesReached);
    EXPECT_EQ(rep.ExitCode(), 0);
    EXPECT_EQ(rep.connection, "Ready @ 57600");
    EXPECT_EQ(rep.status, kComStopped);
    EXPECT_EQ(rep.records, 10u);
    EXPECT_EQ(rep.stats.ChecksumErrors, 1);
    EXPECT_EQ(r.device.polls, 12)
        << "none after the one sent before the tenth good frame is logged";
    std::vector<std::uint32_t> stamps;
    EXPECT_EQ(Rig::Logged(r.out, &stamps), (std::vector<int>{0, 1, 2, 4, 5, 6, 7, 8, 9, 10}))
        << "the bad frame (3) is not logged";
    EXPECT_LE(stamps.front(), 1u) << "stamps count from the start of the recording";
    EXPECT_TRUE(std::is_sorted(stamps.begin(), stamps.end()));
    EXPECT_GT(stamps.back(), stamps.front());
    EXPECT_FALSE(r.device.IsOpen()) << "the port is closed at the end";
    EXPECT_NE(r.err.str().find("Recording to " + r.out.string()), std::string::npos);
}

TEST(RecordSession, StopsAfterTheSecondsAndPrintsStatisticsOncePerSecond) {
    Rig r;
    const RecordReport rep = r.Run({.frames = {}, .seconds = 3.5});
    EXPECT_EQ(rep.end, RecordEnd::SecondsReached);
    EXPECT_EQ(rep.ExitCode(), 0);
    EXPECT_GE(rep.pollingSeconds, 3.5);
    EXPECT_LT(rep.pollingSeconds, 3.6);
    const std::string err = r.err.str();
    int lines = 0;
    for (auto at = err.find(" FPS"); at != std::string::npos; at = err.find(" FPS", at + 1)) {
        ++lines;
    }
    EXPECT_EQ(lines, 3);
    EXPECT_EQ(rep.records, static_cast<std::uint64_t>(rep.stats.TotalFrames));
    EXPECT_EQ(Rig::Logged(r.out).size(), rep.records);
}

// Each way a session can end early: the report, the exit code, a log that holds exactly the
// records taken before (an older file left untouched when the link never came up), the rate the
// frames came at, and what the end says.
TEST(RecordSession, EachEndKeepsTheRecordsTakenBefore) {
    using Check = std::function<void(const RecordReport&, Rig&)>;
    const struct {
        const char* what;
        std::function<void(Rig&)> arrange;
        RecordEnd end;
        std::vector<int> logged;
        Check also;
    } rows[] = {
        {"no answer",
         [](Rig& r) { r.device.present = false; },
         RecordEnd::NotConnected,
         {},
         [](const RecordReport& rep, Rig&) { EXPECT_EQ(rep.status, kComRetry); }},
        {"port error while connecting",
         [](Rig& r) { r.device.failOpen = true; },
         RecordEnd::PortFailure,
         {},
         [](const RecordReport& rep, Rig&) {
             ASSERT_TRUE(rep.portFailure.has_value());
             EXPECT_EQ(rep.portFailure->kind(), SerialPortErrorKind::NotFound);
             EXPECT_FALSE(rep.portFailure->detail().empty());
         }},
        {"interrupt while connecting",
         [](Rig& r) { r.device.onSetDevice = [&r](int) { r.interrupt = true; }; },
         RecordEnd::Interrupted,
         {},
         {}},
        {"port vanishing",
         [](Rig& r) { r.device.vanishAfterPolls = 5; },
         RecordEnd::PortLost,
         {0, 1, 2, 3},
         [](const RecordReport& rep, Rig&) {
             EXPECT_NE(rep.message.find("went away"), std::string::npos) << rep.message;
         }},
        {"interrupt",
         [](Rig& r) { r.device.onPoll = [&r](int poll) { r.interrupt |= poll == 7; }; },
         RecordEnd::Interrupted,
         {0, 1, 2, 3, 4, 5},
         [](const RecordReport& rep, Rig& r) {
             EXPECT_EQ(rep.stats.TimeoutErrors, 0) << "the poll under way is not cut short";
             EXPECT_EQ(r.device.polls, 7);
         }},
        {"time stamps full",
         [](Rig& r) {
             r.device.onPoll = [&r](int poll) { r.clock.Advance(poll == 4 ? 46.7 * 3600 : 0); };
         },
         RecordEnd::TimeLimit,
         {0, 1},
         {}},
        {"device gone quiet, three failed reconnections",
         [](Rig& r) { r.device.onPoll = [&r](int poll) { r.device.present = poll < 3; }; },
         RecordEnd::LinkFailed,
         {0, 1, 2},
         [](const RecordReport& rep, Rig&) { EXPECT_EQ(rep.stats.TimeoutErrors, 11); }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        Rig r;
        const bool linked = !row.logged.empty();
        if (!linked) {
            testing::Put(r.out, "older");  // a file --overwrite would have replaced
        }
        row.arrange(r);
        const RecordReport rep = r.Run();
        EXPECT_EQ(rep.end, row.end);
        const bool asked = row.end == RecordEnd::Interrupted || row.end == RecordEnd::TimeLimit;
        EXPECT_EQ(rep.ExitCode(), asked ? 0 : 1);
        EXPECT_EQ(rep.records, row.logged.size());
        EXPECT_EQ(Rig::Logged(r.out), row.logged);
        EXPECT_EQ(rep.out, linked ? r.out.string() : "") << "only this session's log";
        EXPECT_EQ(rep.rate, linked ? std::optional<std::string>("57600") : std::nullopt);
        if (linked) {
            EXPECT_EQ(rep.status, kComStopped);
        } else {
            EXPECT_EQ(testing::Slurp(r.out), "older");
        }
        EXPECT_FALSE(r.device.IsOpen());
        if (row.also) {
            row.also(rep, r);
        }
    }
}

TEST(RecordSession, WriteFailureStopsRecordingAndKeepsEarlierRecords) {
    Rig r;
    r.device.onPoll = [&r](int poll) {
        // Sent before the fourth frame is logged; the log can no longer be opened where it was.
        if (poll == 5) {
            fs::rename(r.out, r.dir / "kept.qm1");
            fs::create_directory(r.out);
        }
    };
    const RecordReport rep = r.Run();
    EXPECT_EQ(rep.end, RecordEnd::WriteFailed);
    EXPECT_EQ(rep.ExitCode(), 1);
    EXPECT_EQ(rep.records, 3u);
    EXPECT_NE(rep.message.find("Logging Stopped."), std::string::npos) << rep.message;
    EXPECT_EQ(r.device.polls, 5) << "polling stops with the recording";
    EXPECT_EQ(Rig::Logged(r.dir / "kept.qm1"), (std::vector<int>{0, 1, 2}));
    EXPECT_NE(r.err.str().find("3 records in"), std::string::npos) << r.err.str();
}

TEST(RecordSession, InterruptDuringAReconnectionAbortsItPromptly) {
    Rig r;
    double interruptedAt = 0;
    r.device.onPoll = [&r](int poll) { r.device.present = poll < 3; };
    r.device.onSetDevice = [&](int call) {
        if (call == 2) {  // the reconnection has begun
            r.interrupt = true;
            interruptedAt = r.clock.Now();
        }
    };
    const RecordReport rep = r.Run();
    EXPECT_EQ(rep.end, RecordEnd::Interrupted);
    EXPECT_EQ(rep.records, 3u);
    EXPECT_EQ(rep.status, kComStopped);
    EXPECT_LT(r.clock.Now() - interruptedAt, 1.0);
}

}  // namespace
}  // namespace quelm::cli
