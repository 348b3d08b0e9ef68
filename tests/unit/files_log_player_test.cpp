#include "files/log_player.h"

#include <gtest/gtest.h>

#include <vector>

#include "files_test_support.h"

namespace quelm {
namespace {

// A virtual clock whose yields can press the window's buttons.
class ScriptedRuntime : public VirtualRuntime {
  public:
    void Yield() override {
        VirtualRuntime::Yield();
        if (onYield) {
            onYield();
        }
    }
    std::function<void()> onYield;
};

struct Screen {
    std::uint64_t slider = 0;
    std::vector<std::uint32_t> shown;  // stamps in hundredths: the tests stamp record n with n
    std::vector<double> shownAt;
    bool realTime = false;
    std::uint64_t bytes = 0;
    SliderRange range;
};

PlaybackHooks HooksFor(Screen& s, Runtime& rt) {
    PlaybackHooks h;
    h.opened = [&s](std::uint64_t bytes, const SliderRange& r) {
        s.bytes = bytes;
        s.range = r;
    };
    h.showPosition = [&s](std::uint64_t n) { s.slider = n; };
    h.position = [&s] { return s.slider; };
    h.showTime = [](double) {};
    h.showFrame = [&s, &rt](const FrameBuffer& f, double) {
        s.shown.push_back(TimeStampHundredths(f));
        s.shownAt.push_back(rt.Now());
    };
    h.realTime = [&s] { return s.realTime; };
    return h;
}

class LogPlayerTest : public ::testing::Test {
  protected:
    std::filesystem::path Log(const std::vector<std::uint32_t>& stamps) {
        std::vector<std::uint8_t> bytes;
        for (std::uint32_t s : stamps) {
            testing::AppendRecord(bytes, testing::StampedFrame(static_cast<std::uint8_t>(s), s));
        }
        const auto path = dir_ / "run.qm1";
        testing::WriteBytes(path, bytes);
        return path;
    }
    testing::ScratchDir dir_;
    ScriptedRuntime rt_;
    Screen screen_;
};

TEST_F(LogPlayerTest, WaitForStampNeverReturnsBeforeTheStamp) {
    const bool halt = false;
    for (double stamp : {0.0, 0.001, 0.0025, 0.5, 12.34}) {
        const double start = rt_.Now();
        WaitForStamp(rt_, start, stamp, halt);
        EXPECT_GE(rt_.Now() - start, stamp);
        EXPECT_LT(rt_.Now() - start, stamp + 1e-5);  // at most the minimum wait late
    }
}

TEST_F(LogPlayerTest, WaitForStampEndsOnAStopRequest) {
    bool halt = false;
    const double start = rt_.Now();
    rt_.onYield = [&] { halt = rt_.Now() - start > 1.0; };
    WaitForStamp(rt_, start, 100.0, halt);
    EXPECT_LT(rt_.Now() - start, 1.1);
}

TEST_F(LogPlayerTest, RealTimeShowsEachRecordAtItsStamp) {
    const std::vector<std::uint32_t> stamps = {0, 1, 2, 250, 251, 1234};
    LogPlayer player(rt_);
    screen_.realTime = true;
    const double pressed = rt_.Now();
    const PlaybackResult r = player.PlayLog(Log(stamps), HooksFor(screen_, rt_));
    EXPECT_EQ(r.kind, PlaybackResult::Kind::Played);
    ASSERT_EQ(screen_.shown, stamps);
    for (std::size_t i = 0; i < stamps.size(); ++i) {
        EXPECT_GE(screen_.shownAt[i] - pressed, stamps[i] / 100.0);
        EXPECT_LT(screen_.shownAt[i] - pressed, stamps[i] / 100.0 + 0.001);
    }
}

TEST_F(LogPlayerTest, ResumeOnlyClearsThePause) {
    LogPlayer player(rt_);
    const auto path = Log({1, 2, 3, 4});
    int step = 0;
    rt_.onYield = [&] {
        if (step == 0 && screen_.shown.size() == 1) {
            step = 1;
            player.Pause();
        } else if (step == 1 && player.Paused()) {
            step = 2;
            screen_.slider = 4;  // the user drags the slider
            EXPECT_EQ(player.PlayLog(path, HooksFor(screen_, rt_)).kind,
                      PlaybackResult::Kind::Resumed);
        }
    };
    const PlaybackResult r = player.PlayLog(path, HooksFor(screen_, rt_));
    EXPECT_EQ(r.kind, PlaybackResult::Kind::Played);
    EXPECT_EQ(screen_.shown, (std::vector<std::uint32_t>{1, 4}));
    EXPECT_FALSE(player.Running());
}

TEST_F(LogPlayerTest, MissingLogIsAnErrorAndCreatesNothing) {
    LogPlayer player(rt_);
    const PlaybackResult r = player.PlayLog(dir_ / "absent.qm1", HooksFor(screen_, rt_));
    EXPECT_EQ(r.kind, PlaybackResult::Kind::Error);
    EXPECT_FALSE(r.error.empty());
    EXPECT_FALSE(std::filesystem::exists(dir_ / "absent.qm1"));
    EXPECT_FALSE(player.Running());
}

TEST_F(LogPlayerTest, StopRequestEndsAfterTheRecordInHand) {
    LogPlayer player(rt_);
    rt_.onYield = [&] {
        if (screen_.shown.size() == 2) {
            player.RequestHalt();
        }
    };
    const PlaybackResult r = player.PlayLog(Log({1, 2, 3, 4}), HooksFor(screen_, rt_));
    EXPECT_EQ(r.kind, PlaybackResult::Kind::Halted);
    EXPECT_EQ(screen_.shown, (std::vector<std::uint32_t>{1, 2}));
}

}  // namespace
}  // namespace quelm
