#include "tools/self_test.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "common/com_port_map.h"
#include "common/runtime.h"
#include "common/status_texts.h"
#include "fake_flashing_device.h"
#include "link_fake_device.h"
#include "test_clock.h"
#include "tools/link_self_test_device.h"

template <>
struct quelm::TestAccess<quelm::SelfTest> {
    // What the digit displays show.
    static const CodeDigits& Digits(const SelfTest& t) { return t.state_.digits; }
};

namespace quelm {
namespace {

using namespace status_text;

TEST(ReplyShowsLightOn, ZeroAfterTheFirstByteMeansLit) {
    struct Row {
        std::string reply;
        bool lit;
    };
    const Row rows[] = {
        {"", false},  {"0", false}, {"1", false},   {"01", false},
        {"10", true}, {"00", true}, {"x1y0", true}, {"L1", false},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ReplyShowsLightOn(row.reply), row.lit) << '"' << row.reply << '"';
    }
}

struct Seen {
    std::vector<std::string> statuses;
    std::vector<std::string> lines;
    std::vector<bool> lamps;
    std::vector<CodeDigits> digitsAtLine;
    CodeDigits digits{"?", "?", "?"};
    int clears = 0;
    std::function<void()> onClear;
    std::function<void(const CodeDigits&)> onDigits;

    SelfTestObserver Observer() {
        return {
            .status = [this](std::string_view s) { statuses.emplace_back(s); },
            .lamp = [this](bool lit) { lamps.push_back(lit); },
            .digits =
                [this](const CodeDigits& d) {
                    digits = d;
                    if (onDigits) {
                        onDigits(d);
                    }
                },
            .clearCodes =
                [this] {
                    ++clears;
                    if (onClear) {
                        onClear();
                    }
                },
            .codeLine =
                [this](const std::string& l) {
                    lines.push_back(l);
                    digitsAtLine.push_back(digits);
                },
        };
    }
};

class SelfTestRun : public ::testing::Test {
  protected:
    test::TestClock rt;
    FlashingDevice device{rt};
    Seen seen;
    SelfTest test{device, rt, seen.Observer()};
};

TEST_F(SelfTestRun, ReadsElevenAndTwentyThreeAndEnds) {
    device.FlashCodes({{1, 1}, {2, 3}});
    std::size_t sentBySixSeconds = 0;
    const double start = rt.Now();
    rt.onYield = [&] {
        if (rt.Now() - start < 5.99) {
            sentBySixSeconds = device.sent.size();
        }
    };
    test.Run();

    EXPECT_EQ(seen.lines,
              (std::vector<std::string>{" 11:System Pass", " 23:TPS out of self test range"}));
    EXPECT_EQ(seen.digitsAtLine.back(), (CodeDigits{"0", "2", "3"}));
    EXPECT_EQ(seen.statuses, (std::vector<std::string>{
                                 std::string(kStatusInitializing), std::string(kStatusInProgress),
                                 std::string(kStatusDoNotDisturb), std::string(kStatusComplete)}));
    EXPECT_EQ(device.connects, 1);
    ASSERT_GE(device.sent.size(), 3u);
    EXPECT_EQ(device.sent.front(), 'i');
    EXPECT_EQ(sentBySixSeconds, 1u) << "only the 'i' before the 6 s wait ends";
    EXPECT_EQ(device.sent.back(), 'j');
    EXPECT_EQ(device.sent.find_first_not_of('h', 1), device.sent.size() - 1)
        << "only light polls between begin and end";
    EXPECT_FALSE(test.Running());
    EXPECT_FALSE(test.InProgress());
    EXPECT_EQ(seen.clears, 1);
    // Lamp reported on changes only: dark, then lit and dark once per flash (7 + 1 flashes).
    ASSERT_EQ(seen.lamps.size(), 1u + 2 * 8);
    EXPECT_FALSE(seen.lamps.front());
}

TEST_F(SelfTestRun, AStartClearsTheListButNotTheDigits) {
    device.FlashCodes({{2, 3}});
    test.Run();
    ASSERT_EQ(seen.digits, (CodeDigits{"1", "0", "0"})) << "the closing flash starts a digit";

    std::vector<CodeDigits> digitsAtClear;
    seen.onClear = [&] { digitsAtClear.push_back(TestAccess<SelfTest>::Digits(test)); };
    std::vector<CodeDigits> shown;
    seen.onDigits = [&](const CodeDigits& d) { shown.push_back(d); };
    device.FlashCodes({{2, 3}});
    test.Run();

    ASSERT_EQ(digitsAtClear.size(), 1u);
    EXPECT_EQ(digitsAtClear[0], (CodeDigits{"1", "0", "0"}));
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.front(), (CodeDigits{"2", "0", "0"}));
    EXPECT_EQ(seen.clears, 2);
    EXPECT_EQ(seen.lines.back(), " 23:TPS out of self test range");
}

TEST_F(SelfTestRun, StopOrProgramEndWhileWaitingForTheFirstFlashEndsTheRun) {
    device.FlashCodes({}, 1e6);  // the light never comes on in time
    double start = rt.Now();
    rt.onYield = [&] {
        if (rt.Now() - start > 20 && test.Running()) {
            test.Stop();
        }
    };
    test.Run();
    EXPECT_EQ(seen.statuses.back(), kStatusComplete);
    EXPECT_TRUE(seen.lines.empty());
    EXPECT_EQ(device.sent.back(), 'j');
    EXPECT_EQ(std::count(device.sent.begin(), device.sent.end(), 'j'), 2)
        << "Stop sends one, the end of the run another";
    EXPECT_LT(rt.Now() - start, 21.0);
    EXPECT_FALSE(test.InProgress());

    start = rt.Now();
    rt.onYield = [&] { rt.ending = rt.Now() - start > 10; };
    test.Run();
    EXPECT_FALSE(test.InProgress());
    EXPECT_LT(rt.Now() - start, 11.0);
}

TEST_F(SelfTestRun, StopInTheMiddleOfACodeListsNothingAndEnds) {
    device.FlashCodes({{2, 3}});
    bool stopped = false;
    rt.onYield = [&] {
        // During the third flash of the second digit.
        if (!stopped && seen.digits == CodeDigits{"2", "0", "0"} &&
            seen.lamps.size() == 1u + 2 * 4 + 1) {
            stopped = true;
            test.Stop();
        }
    };
    test.Run();
    ASSERT_TRUE(stopped);
    EXPECT_TRUE(seen.lines.empty());
    EXPECT_EQ(seen.statuses.back(), kStatusComplete);
    EXPECT_EQ(std::count(device.sent.begin(), device.sent.end(), 'j'), 2);
    EXPECT_FALSE(test.Running());
}

TEST_F(SelfTestRun, StopWhileConnectingIsNotOverriddenByTheStartWait) {
    device.FlashCodes({{1, 1}});
    device.onConnect = [&] { test.Stop(); };
    const double start = rt.Now();
    test.Run();
    EXPECT_LT(rt.Now() - start, 1.0) << "no 6 s wait and no polling after a Stop";
    EXPECT_TRUE(seen.lines.empty());
    EXPECT_EQ(seen.statuses.back(), kStatusComplete);
    EXPECT_EQ(device.sent, "jij");
}

// The test connects through the dashboard's link, whose connection writes the status panels and
// the lamp. Once the test is over they show the dashboard's own link again, unless a link was
// started meanwhile.
TEST(SelfTestOnTheLink, PanelsAndLampShowTheLinkOnceTheTestIsOver) {
    struct Row {
        const char* name;
        bool devicePresent;
        bool linkStartedMeanwhile;
        std::string_view before1;
        std::string_view before2;
        std::string_view after1;
        std::string_view after2;
        ComStat lampAfter;
    };
    const Row rows[] = {
        {"never connected", true, false, "", "", "", "", ComStat::Red},
        {"after monitoring, no device", false, false, kMonitoring, kComStopped, kMonitoring,
         kComStopped, ComStat::Red},
        {"link started meanwhile", true, true, "", "", kInitializing, "Ready @ 115200",
         ComStat::Green},
    };
    for (const Row& row : rows) {
        test::TestClock rt;
        test::FakeDevice device(rt);
        device.present = row.devicePresent;
        StatusModel status;
        status.SetPanel(1, row.before1);
        status.SetPanel(2, row.before2);
        status.SetIndicator(ComStat::Red);
        ComPortMap map;
        LinkContext link(device, rt, status, map);
        link.ComPort = 1;
        link.MaxBaudRate = "115200";
        LinkSelfTestDevice adapter(link, UnansweredConnect::TestAnyway);
        SelfTest run(adapter, rt);
        const double start = rt.Now();
        rt.onYield = [&] {
            if (run.Running() && rt.Now() - start > 30) {
                link.Connected = row.linkStartedMeanwhile;
                run.Stop();
            }
        };
        run.Run();
        EXPECT_EQ(status.Panel(1), row.after1) << row.name;
        EXPECT_EQ(status.Panel(2), row.after2) << row.name;
        EXPECT_EQ(status.Indicator(), row.lampAfter) << row.name;
    }
}

}  // namespace
}  // namespace quelm
