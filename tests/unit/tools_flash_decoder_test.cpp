#include "tools/flash_decoder.h"

#include <gtest/gtest.h>

#include <string>
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
    void Code(const std::vector<int>& digits, double closingGap = kBetweenCodes) {
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

// Codes flashed one after another: the lines listed and the digits shown at the end. Two-digit
// codes show right-aligned; 255 and above are shown but not listed; a code of one digit or of four
// is malformed (a fourth digit leaves the display alone) and decoding starts again after it.
TEST(FlashDecoder, CodesAreListedAndShown) {
    const struct {
        std::vector<std::vector<int>> codes;
        std::vector<std::string> lines;
        std::string shown;
    } rows[] = {
        {{{2, 3}}, {" 23:TPS out of self test range"}, "023"},
        {{{1, 1}}, {" 11:System Pass"}, "011"},
        {{{9, 9}}, {" 99:Electronic Pressure Control (EPC) circuit failure"}, "099"},
        {{{1, 2}}, {" 12:"}, "012"},
        {{{1, 1, 1}}, {" 111:"}, "111"},
        {{{2, 5, 5}}, {}, "255"},
        {{{2, 5, 5}, {2, 5, 4}}, {" 254:"}, "254"},
        {{{4}}, {}, "400"},
        {{{1, 2, 3, 4}}, {}, "123"},
        {{{1, 2, 3, 4}, {1, 1}}, {" 11:System Pass"}, "011"},
        {{{2, 3}, {2, 3}},
         {" 23:TPS out of self test range", " 23:TPS out of self test range"},
         "023"},
    };
    for (const auto& row : rows) {
        Decoder d;
        for (const auto& code : row.codes) {
            d.Code(code);
        }
        EXPECT_EQ(d.lines_, row.lines) << row.shown;
        EXPECT_EQ(d.Shown(), row.shown);
        EXPECT_EQ(d.state_.position, 1);
        EXPECT_EQ(d.state_.pulseCount, 0);
        EXPECT_FALSE(d.ended_);
    }
}

// A gap over six seconds ends the test without a code; the digits stay shown.
TEST(FlashDecoder, DigitsShowWhileACodeIsStillArrivingAndALongGapEndsTheTest) {
    Decoder d;
    d.state_.digits = {"7", "7", "7"};
    d.Digit(2, kBetweenDigits);
    EXPECT_EQ(d.Shown(), "200");  // the first digit clears the others
    d.Digit(3, 6.5);
    EXPECT_EQ(d.Shown(), "230");
    EXPECT_TRUE(d.ended_);
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

}  // namespace
}  // namespace quelm
