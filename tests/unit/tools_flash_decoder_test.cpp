#include "tools/flash_decoder.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace quelm {
namespace {

constexpr double kFlash = 0.5;
constexpr double kBetweenFlashes = 0.5;
constexpr double kBetweenDigits = 2.0;
constexpr double kBetweenCodes = 4.0;

// Feeds (on, off) cycles and collects what a window would show.
class Decoder {
  public:
    Decoder() : table_(LoadTroubleCodes()) {}

    void Cycle(double on, double off) {
        const FlashCycleResult r = DecodeFlashCycle(state_, on, off);
        state_ = r.state;
        if (r.codeEnded && IsListedCode(r.code)) {
            lines_.push_back(CodeLine(r.code, table_));
        }
        ended_ = ended_ || r.testEnded;
    }

    // `count` flashes of half a second; the last one followed by `gap`.
    void Digit(int count, double gap) {
        for (int i = 1; i <= count; ++i) {
            Cycle(kFlash, i == count ? gap : kBetweenFlashes);
        }
    }

    // A whole code, digit by digit, closed by a code gap.
    void Code(std::initializer_list<int> digits, double closingGap = kBetweenCodes) {
        std::size_t i = 0;
        for (int d : digits) {
            Digit(d, ++i == digits.size() ? closingGap : kBetweenDigits);
        }
    }

    std::string Shown() const { return state_.digits[0] + state_.digits[1] + state_.digits[2]; }
    FlashDecoderState state_;
    std::vector<std::string> lines_;
    bool ended_ = false;

  private:
    TroubleCodes table_;
};

TEST(FlashDecoder, TwoDigitCodesAreListedAndShownRightAligned) {
    struct Row {
        std::initializer_list<int> digits;
        std::string shown;
        std::string line;
    };
    const Row rows[] = {
        {{2, 3}, "023", " 23:TPS out of self test range"},
        {{1, 1}, "011", " 11:System Pass"},
        {{9, 9}, "099", " 99:Electronic Pressure Control (EPC) circuit failure"},
        {{1, 2}, "012", " 12:"},
    };
    for (const auto& row : rows) {
        Decoder d;
        d.Code(row.digits);
        EXPECT_EQ(d.Shown(), row.shown);
        ASSERT_EQ(d.lines_.size(), 1u);
        EXPECT_EQ(d.lines_[0], row.line);
        EXPECT_EQ(d.state_.position, 1);
        EXPECT_EQ(d.state_.pulseCount, 0);
        EXPECT_FALSE(d.ended_);
    }
}

TEST(FlashDecoder, DigitsShowWhileACodeIsStillArriving) {
    Decoder d;
    d.state_.digits = {"7", "7", "7"};
    d.Digit(2, kBetweenDigits);
    EXPECT_EQ(d.Shown(), "200");  // the first digit clears the others
    d.Digit(3, kBetweenDigits);
    EXPECT_EQ(d.Shown(), "230");
    EXPECT_EQ(d.state_.position, 3);
    EXPECT_TRUE(d.lines_.empty());
}

TEST(FlashDecoder, OnlyTheLastDecimalDigitOfTheCountIsShown) {
    struct Row {
        int flashes;
        std::string digit;
    };
    for (const Row& row : {Row{10, "0"}, Row{12, "2"}, Row{1, "1"}}) {
        Decoder d;
        d.Digit(row.flashes, kBetweenDigits);
        EXPECT_EQ(d.state_.digits[0], row.digit) << row.flashes;
    }
    // A gap with no counted flash still closes a digit, as "0".
    Decoder d;
    d.state_.digits = {"5", "5", "5"};
    d.Cycle(1.5, kBetweenDigits);
    EXPECT_EQ(d.Shown(), "000");
}

TEST(FlashDecoder, ThresholdsAreExclusive) {
    {
        Decoder d;
        d.Cycle(1.2, 0.5);
        EXPECT_EQ(d.state_.pulseCount, 0) << "a 1.2 s flash is not counted";
        d.Cycle(1.19, 0.5);
        d.Cycle(0.0, 0.5);
        EXPECT_EQ(d.state_.pulseCount, 1) << "only 0 < on < 1.2 counts";
    }
    {
        Decoder d;
        d.Cycle(kFlash, 1.2);
        EXPECT_EQ(d.state_.position, 1) << "a 1.2 s gap does not close a digit";
        EXPECT_EQ(d.state_.pulseCount, 1);
        d.Cycle(kFlash, 1.21);
        EXPECT_EQ(d.state_.position, 2);
        EXPECT_EQ(d.state_.digits[0], "2");
    }
    for (double gap : {3.0, 6.0}) {
        Decoder d;
        d.Digit(1, kBetweenDigits);
        d.Digit(1, gap);
        EXPECT_TRUE(d.lines_.empty()) << "a " << gap << " s gap does not close a code";
        EXPECT_EQ(d.state_.position, 3);
        EXPECT_FALSE(d.ended_) << "a " << gap << " s gap does not end the test";
    }
    {
        Decoder d;
        d.Code({1, 1}, 3.01);
        EXPECT_EQ(d.lines_.size(), 1u);
        Decoder e;
        e.Code({1, 1}, 5.99);
        EXPECT_EQ(e.lines_.size(), 1u);
        EXPECT_FALSE(e.ended_);
    }
}

TEST(FlashDecoder, AGapOverSixSecondsEndsTheTestWithoutACode) {
    Decoder d;
    d.Digit(2, kBetweenDigits);
    d.Digit(3, 6.5);
    EXPECT_TRUE(d.ended_);
    EXPECT_TRUE(d.lines_.empty());
    EXPECT_EQ(d.Shown(), "230") << "the second digit is shown";
}

TEST(FlashDecoder, ThreeDigitCodes) {
    Decoder d;
    d.Code({1, 1, 1});
    ASSERT_EQ(d.lines_.size(), 1u);
    EXPECT_EQ(d.lines_[0], " 111:");
    EXPECT_EQ(d.Shown(), "111") << "a three-digit code stays where it is";

    Decoder big;
    big.Code({2, 5, 5});
    EXPECT_TRUE(big.lines_.empty()) << "255 and above are shown but not listed";
    EXPECT_EQ(big.Shown(), "255");
    big.Code({2, 5, 4});
    ASSERT_EQ(big.lines_.size(), 1u);
    EXPECT_EQ(big.lines_[0], " 254:");
}

TEST(FlashDecoder, MalformedCodesGiveCodeZeroAndRestartAtTheFirstDigit) {
    Decoder one;
    one.Code({4});
    EXPECT_TRUE(one.lines_.empty());
    EXPECT_EQ(one.state_.position, 1);
    EXPECT_EQ(one.Shown(), "400");

    Decoder four;
    four.Code({1, 2, 3, 4});
    EXPECT_TRUE(four.lines_.empty());
    EXPECT_EQ(four.state_.position, 1);
    EXPECT_EQ(four.Shown(), "123") << "a fourth digit leaves the display alone";

    four.Code({1, 1});
    ASSERT_EQ(four.lines_.size(), 1u) << "decoding recovers after a malformed code";
    EXPECT_EQ(four.lines_[0], " 11:System Pass");
}

TEST(FlashDecoder, TheSameCodeTwiceIsListedTwice) {
    Decoder d;
    d.Code({2, 3});
    d.Code({2, 3});
    EXPECT_EQ(d.lines_, (std::vector<std::string>{" 23:TPS out of self test range",
                                                  " 23:TPS out of self test range"}));
}

TEST(FlashDecoder, ANewRunKeepsTheDigitsButCountsAfresh) {
    FlashDecoderState s;
    s.digits = {"0", "2", "3"};
    s.pulseCount = 4;
    s.position = 3;
    s.BeginRun();
    EXPECT_EQ(s.pulseCount, 0);
    EXPECT_EQ(s.position, 1);
    EXPECT_EQ(s.digits, (CodeDigits{"0", "2", "3"}));
}

TEST(FlashDecoder, CycleIsAPureFunctionOfStateAndTimes) {
    FlashDecoderState s;
    s.pulseCount = 1;
    s.position = 2;
    s.digits = {"3", "0", "0"};
    const FlashCycleResult a = DecodeFlashCycle(s, kFlash, kBetweenCodes);
    const FlashCycleResult b = DecodeFlashCycle(s, kFlash, kBetweenCodes);
    EXPECT_EQ(a.code, 32);
    EXPECT_EQ(b.code, 32);
    EXPECT_EQ(a.state.digits, b.state.digits);
    EXPECT_EQ(s.digits, (CodeDigits{"3", "0", "0"})) << "the input state is untouched";
}

}  // namespace
}  // namespace quelm
