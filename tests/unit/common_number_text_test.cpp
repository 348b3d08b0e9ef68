#include "common/number_text.h"
#include "general_number_reference.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>
#include <tuple>

namespace quelm {
namespace {

struct LenientCase {
    const char* text;
    double value;
};

TEST(LenientNumber, ReadsTheLeadingNumberAndStopsAtTheFirstOtherCharacter) {
    const LenientCase cases[] = {
        {" 3", 3},        {"4.5", 4.5}, {"abc", 0},   {"-2.5x", -2.5}, {"1.2.3", 1.2},
        {"", 0},          {"+7", 7},    {" .5", 0.5}, {"\t 19", 19},   {"-.25", -0.25},
        {"5.", 5},        {".", 0},     {"-", 0},     {"+", 0},        {" - 3", 0},
        {"1e3", 1},       {"12,5", 12}, {"0019", 19}, {"3 4", 3},      {"x3", 0},
        {"  302  ", 302}, {"--1", 0},   {"+-1", 0},   {"1.05", 1.05},  {"\n3", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LenientNumber(c.text), c.value) << '"' << c.text << '"';
    }
}

TEST(LenientNumber, NeverGivesNegativeZeroInfinityOrNaN) {
    EXPECT_FALSE(std::signbit(LenientNumber("-0")));
    EXPECT_FALSE(std::signbit(LenientNumber("-.000")));

    const std::string huge(400, '9');
    EXPECT_EQ(LenientNumber(huge), std::numeric_limits<double>::max());
    EXPECT_EQ(LenientNumber("-" + huge), -std::numeric_limits<double>::max());
    EXPECT_EQ(LenientNumber("." + std::string(400, '0') + "1"), 0);
    EXPECT_FALSE(std::signbit(LenientNumber("-." + std::string(400, '0') + "1")));
    EXPECT_EQ(LenientNumber(std::string(400, '0') + "7"), 7);
}

// Typed text, the plain text a dialog or the settings file then holds, and back: every number
// survives, however small or large, because no exponent is written.
TEST(PlainNumber, TextReadsBackAsTheSameNumber) {
    const struct {
        std::string typed;
        std::string plain;
    } cases[] = {
        {"19", "19"},
        {"1.05", "1.05"},
        {"0.5", ".5"},
        {"-0.25", "-.25"},
        {"-0", "0"},
        {"0.00001", ".00001"},
        {"1000000000000000", "1000000000000000"},
        {"123456789012345678", "123456789012345680"},
        {"0.30000000000000004", ".30000000000000004"},
        {"-0.000000000000000000001", "-.000000000000000000001"},
        {"." + std::string(323, '0') + "5", "." + std::string(323, '0') + "5"},
        {std::string(400, '9'), "17976931348623157" + std::string(292, '0')},
    };
    for (const auto& c : cases) {
        const double value = LenientNumber(c.typed);
        EXPECT_EQ(PlainNumber(value), c.plain) << c.typed;
        EXPECT_EQ(LenientNumber(PlainNumber(value)), value) << c.typed;
        EXPECT_EQ(PrintNumber(value), (value < 0 ? "" : " ") + c.plain) << c.typed;
    }
}

// The house form where it differs from plain %G, and a tie going to the even digit; the
// reference test below holds every other value to %G.
TEST(GeneralNumber, WritesTheGeneralForm) {
    const std::tuple<double, int, const char*> cases[] = {
        {0.07, 15, ".07"},  {-0.0, 7, "0"}, {-0.25, 7, "-.25"},  {12345678, 7, "1.234568E+07"},
        {1e-5, 7, "1E-05"}, {2.5, 1, "2"},  {12.34, 0, "1E+01"}, {double{3.3f}, 7, "3.3"}};
    for (const auto& [value, digits, text] : cases) {
        EXPECT_EQ(GeneralNumber(value, digits), text) << value << " at " << digits;
    }
}

TEST(GeneralNumber, NonFiniteValuesGiveShortMarkers) {
    EXPECT_EQ(GeneralNumber(std::numeric_limits<double>::quiet_NaN(), 7), "NaN");
    EXPECT_EQ(GeneralNumber(std::numeric_limits<double>::infinity(), 7), "Inf");
    EXPECT_EQ(GeneralNumber(-std::numeric_limits<double>::infinity(), 15), "-Inf");
}

TEST(GeneralNumber, LongestTextsFitTheDocumentedBuffer) {
    const double values[] = {-1.2345678901234567e-308, -std::numeric_limits<double>::max(),
                             -std::numeric_limits<double>::denorm_min(), -0.00012345678901234567,
                             -12345678901234567.0};
    for (double v : values) {
        for (int digits = 1; digits <= 40; ++digits) {
            EXPECT_LE(GeneralNumber(v, digits).size(),
                      static_cast<std::size_t>(kMaxGeneralNumberChars));
        }
    }
}

// Either side of the powers of ten, where the written form switches between plain and exponent,
// and at a few telling values below, the writer matches the C library's %G. (Any value at any
// precision is the fuzz target's work.)
TEST(GeneralNumber, MatchesTheReferenceAroundPowersOfTen) {
    int failures = 0;
    const auto check = [&failures](double v, int digits) {
        if (!std::isfinite(v)) {
            return;  // written "Inf" on purpose
        }
        const std::string want = test::GeneralNumberReference(v, digits);
        if (GeneralNumber(v, digits) != want && ++failures <= 20) {
            ADD_FAILURE() << std::hexfloat << v << " at " << digits << ": got "
                          << GeneralNumber(v, digits) << ", want " << want;
        }
    };
    // Rounding carries, ties, float values, the far ends of the exponent range.
    for (double v : {1234567.0, -25e9, 0.00012345678, double{0.1f}, double{-14.7f}, 9999999.6,
                     999999.96, 0.99999996, 12345685.0, 12345675.0, 1e100, 5e-324, 2.0 / 3}) {
        check(v, 7);
    }
    for (double v : {12.34, 1e15, 999999999999999.0, -1.5e-300, 1.0 / 3}) {
        check(v, 15);
    }
    check(1.5, 1);
    for (int e = -40; e <= 40; ++e) {
        const double p = std::strtod(("1e" + std::to_string(e)).c_str(), nullptr);
        double up = p;
        double down = p;
        float upf = static_cast<float>(p);
        float downf = upf;
        for (int i = 0; i < 40; ++i) {
            for (int digits : {1, 2, 6, 7, 8, 14, 15, 16, 17}) {
                check(up, digits);
                check(-down, digits);
            }
            check(upf, 7);
            check(downf, 7);
            up = std::nextafter(up, 2 * p);
            down = std::nextafter(down, 0.0);
            upf = std::nextafter(upf, 2 * upf);
            downf = std::nextafter(downf, 0.0f);
        }
    }
}

}  // namespace
}  // namespace quelm
