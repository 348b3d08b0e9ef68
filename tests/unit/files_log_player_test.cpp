#include "files/log_player.h"

#include <gtest/gtest.h>

#include <vector>

#include "files_test_support.h"
#include "test_clock.h"

namespace quelm {
namespace {

struct Screen {
    std::uint64_t slider = 0;
    std::vector<std::uint32_t> shown;  // stamps in hundredths: the tests stamp record n with n
    std::vector<double> shownAt;
    double speed = 0;  // 0: as fast as possible
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
    h.speed = [&s] { return s.speed; };
    return h;
}

class LogPlayerTest : public ::testing::Test {
  protected:
    std::filesystem::path Log(const std::vector<std::uint32_t>& stamps) {
        const auto path = dir_ / "run.qm1";
        testing::WriteLog(path, static_cast<std::uint32_t>(stamps.size()),
                          [&](std::uint32_t n) { return stamps[n - 1]; });
        return path;
    }
    testing::ScratchDir dir_;
    test::TestClock rt_;
    Screen screen_;
};

TEST_F(LogPlayerTest, EachSpeedShowsEachRecordAtItsStampOverTheSpeed) {
    const std::vector<std::uint32_t> stamps = {0, 1, 2, 250, 251, 1234};
    const auto log = Log(stamps);
    for (const PlaybackSpeed speed : kPlaybackSpeeds) {
        SCOPED_TRACE(SpeedCaption(speed));
        screen_ = {};
        screen_.speed = SpeedFactor(speed);
        LogPlayer player(rt_);
        const double pressed = rt_.Now();
        EXPECT_EQ(player.PlayLog(log, HooksFor(screen_, rt_)).kind, PlaybackResult::Kind::Played);
        ASSERT_EQ(screen_.shown, stamps);
        for (std::size_t i = 0; i < stamps.size(); ++i) {
            const double due =
                speed == PlaybackSpeed::Fastest ? 0 : stamps[i] / 100.0 / screen_.speed;
            EXPECT_GE(screen_.shownAt[i] - pressed, due);
            EXPECT_LT(screen_.shownAt[i] - pressed, due + 0.001);
        }
    }
}

TEST_F(LogPlayerTest, SpeedChangesAndMovesWhilePlayingGoOnWithoutAJump) {
    // Records every second for a minute.
    std::vector<std::uint32_t> stamps;
    for (std::uint32_t s = 0; s <= 60; ++s) {
        stamps.push_back(s * 100);
    }
    LogPlayer player(rt_);
    screen_.speed = 1;
    bool moved = false;
    rt_.onYield = [&] {
        if (screen_.shown.size() == 11 && screen_.speed == 1) {
            screen_.speed = 4;  // at 10 s
        } else if (screen_.shown.size() == 21 && screen_.speed == 4) {
            screen_.speed = 0;  // at 20 s
        } else if (screen_.shown.size() == 26 && screen_.speed == 0) {
            screen_.speed = 2;  // at 25 s, shown at once
        } else if (screen_.shown.size() == 31 && !moved) {
            moved = true;
            player.Seek(51);  // from 30 s to 50 s
        }
    };
    const double pressed = rt_.Now();
    player.PlayLog(Log(stamps), HooksFor(screen_, rt_));
    ASSERT_EQ(screen_.shown.size(), 42u);  // 0..30 s, then 50..60 s
    auto at = [&](std::size_t i) { return screen_.shownAt[i] - pressed; };
    EXPECT_NEAR(at(10), 10, 0.001);             // 1x: 10 s after Play
    EXPECT_NEAR(at(20), 10 + 10 / 4.0, 0.003);  // 4x from 10 s
    const double fast = at(25);                 // unpaced 20..25 s: no wait
    EXPECT_NEAR(fast, at(20), 0.01);
    EXPECT_NEAR(at(30), fast + 5 / 2.0, 0.003);  // 2x from the record last shown
    EXPECT_EQ(screen_.shown[31], 5000u);         // the move: 50 s comes next, at once
    EXPECT_NEAR(at(31), at(30), 0.003);
    EXPECT_NEAR(at(41), at(31) + 10 / 2.0, 0.003);  // and the pace goes on from it
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

// A stop during a long gap in the log ends the wait at once and the record in hand is shown.
TEST_F(LogPlayerTest, StopRequestEndsAfterTheRecordInHand) {
    LogPlayer player(rt_);
    screen_.speed = 1;
    const double start = rt_.Now();
    rt_.onYield = [&] {
        if (rt_.Now() - start > 1.0) {
            player.RequestHalt();
        }
    };
    const PlaybackResult r = player.PlayLog(Log({1, 2, 10000, 10001}), HooksFor(screen_, rt_));
    EXPECT_EQ(r.kind, PlaybackResult::Kind::Halted);
    EXPECT_EQ(screen_.shown, (std::vector<std::uint32_t>{1, 2, 10000}));
    EXPECT_LT(rt_.Now() - start, 1.1);
}

}  // namespace
}  // namespace quelm
