#include "sim/flash_schedule.h"

#include <gtest/gtest.h>

#include <string>

#include "sim/device_model.h"

namespace quelm::sim {
namespace {

class NoFrames : public FrameSource {
  public:
    Frame FrameAt(double) override { return Frame{}; }
};

struct Span {
    bool lit;
    double seconds;
};

// Polls the device with "h" every 10 ms of a virtual clock, as the self-test tool does, and
// measures how long the light stays in each state.
std::vector<Span> WatchLight(const std::vector<int>& codes, double seconds) {
    DeviceOptions options;
    options.codes = codes;
    DeviceModel device(options, std::make_unique<NoFrames>());
    double now = 0;
    device.Receive('i', 9600, now);
    std::vector<Span> spans;
    for (; now < seconds; now += 0.01) {
        device.Receive('h', 9600, now);
        const auto reply = device.TakeDue(now + 0.005, 9600);
        const std::string text(reply.begin(), reply.end());
        EXPECT_EQ(text.size(), 2u);
        const bool lit = text.substr(1).find('0') != std::string::npos;
        if (spans.empty() || spans.back().lit != lit) {
            spans.push_back({lit, 0});
        }
        spans.back().seconds += 0.01;
    }
    return spans;
}

// The engine computer's codes as the self-test tool reads them: flashes under 1.2 s count,
// a gap over 1.2 s ends a digit, over 3 s and under 6 s ends a code, over 6 s ends the test.
std::vector<int> ReadCodes(const std::vector<Span>& spans) {
    std::vector<int> codes;
    int pulses = 0;
    std::string digits;
    for (std::size_t i = 1; i + 1 < spans.size(); i += 2) {
        const double on = spans[i].seconds;
        const double off = spans[i + 1].seconds;
        if (on > 0 && on < 1.2) {
            ++pulses;
        }
        if (off > 1.2) {
            digits += std::to_string(pulses % 10);
            pulses = 0;
        }
        if (off > 3 && off < 6) {
            if (digits.size() == 2 || digits.size() == 3) {
                codes.push_back(std::stoi(digits));
            }
            digits.clear();
        }
        if (off > 6) {
            break;
        }
    }
    return codes;
}

TEST(SimFlashSchedule, Codes11And23ReadBackWithEngineComputerTiming) {
    const auto spans = WatchLight({11, 23}, 60);
    ASSERT_GT(spans.size(), 3u);
    EXPECT_FALSE(spans[0].lit);
    EXPECT_NEAR(spans[0].seconds, kSelfTestLeadIn, 0.02);
    EXPECT_GT(spans[0].seconds, 6.0);  // after the tool's 6-second wait
    for (std::size_t i = 1; i < spans.size() - 1; ++i) {
        if (spans[i].lit) {
            EXPECT_NEAR(spans[i].seconds, 0.5, 0.02) << i;
        }
    }
    // 1 (2 s) 1 (4 s) 2 (2 s) 3 (4 s) end flash (8 s)
    EXPECT_NEAR(spans[2].seconds, 2.0, 0.02);
    EXPECT_NEAR(spans[4].seconds, 4.0, 0.02);
    EXPECT_NEAR(spans[6].seconds, 0.5, 0.02);  // between the two flashes of the 2
    EXPECT_NEAR(spans[8].seconds, 2.0, 0.02);
    EXPECT_EQ(ReadCodes(spans), (std::vector<int>{11, 23}));
    // After the end flash the light stays dark for more than 6 s, which ends the tool's test.
    bool longDark = false;
    for (const Span& s : spans) {
        longDark = longDark || (!s.lit && s.seconds > 6 && &s != &spans.front());
    }
    EXPECT_TRUE(longDark);
}

TEST(SimFlashSchedule, ZeroDigitIsTenFlashesAndThreeDigitCodesWork) {
    EXPECT_EQ(ReadCodes(WatchLight({10, 111}, 60)), (std::vector<int>{10, 111}));
}

TEST(SimFlashSchedule, DarkBeforeTheTestAndAfterStop) {
    const auto pass = FlashPass({11});
    EXPECT_FALSE(LightLitAt(pass, 0));
    EXPECT_FALSE(LightLitAt(pass, kSelfTestLeadIn - 0.01));
    EXPECT_TRUE(LightLitAt(pass, kSelfTestLeadIn + 0.01));
}

TEST(SimFlashSchedule, CodeListParsing) {
    EXPECT_EQ(ParseCodes("11,23"), (std::vector<int>{11, 23}));
    EXPECT_EQ(ParseCodes("111"), (std::vector<int>{111}));
    for (const char* bad : {"", "1", "1000", "11,", "11,,23", "x1", "11 ,23", "-11"}) {
        EXPECT_FALSE(ParseCodes(bad).has_value()) << bad;
    }
}

}  // namespace
}  // namespace quelm::sim
