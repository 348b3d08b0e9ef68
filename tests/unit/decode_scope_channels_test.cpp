#include "decode/scope_channels.h"

#include <gtest/gtest.h>

namespace quelm {
namespace {

TEST(ScopeChannels, EachNamedChannelReadsItsOwnField) {
    // Give every field a distinct value and check each channel picks the one named like it.
    EngData e{};
    float* f = &e.MPH;
    for (std::size_t i = 0; i < sizeof(EngData) / sizeof(float); ++i) {
        f[i] = static_cast<float>(i + 1);
    }
    const std::pair<const char*, float> cases[] = {
        {"RPM", e.RPM},       {"LOAD", e.LOAD},   {"MPH", e.MPH},         {"MPG", e.MPG},
        {"HEGOL", e.HEGOL},   {"HEGOR", e.HEGOR}, {"INJDUTY", e.INJDUTY}, {"INJPW", e.INJPW},
        {"RWHP", e.RWHP},     {"RWTQ", e.RWTQ},   {"MAF", e.MAF},         {"TPS", e.TPS},
        {"WIDEO2", e.WIDEO2}, {"AUX1", e.AUX1},   {"AUX2", e.AUX2},       {"ECT", e.ECT},
        {"ACT", e.ACT},       {"BOOST", e.BOOST}, {"VACUUM", e.VACUUM},   {"ADVANCE", e.ADVANCE},
    };
    for (const auto& [name, value] : cases) {
        EXPECT_EQ(ScopeValue(*FindScopeChannel(name), e), value) << name;
    }
    EXPECT_FALSE(ScopePlots(*FindScopeChannel("*OFF*")));
    EXPECT_TRUE(ScopePlots(*FindScopeChannel("RPM")));
}

TEST(ScopeChannels, ScalingToTheChartRange) {
    struct Case {
        const char* name;
        float value;
        double scaled;
    };
    const Case cases[] = {
        {"ADVANCE", -20, 0},    {"ADVANCE", 50, 1}, {"ADVANCE", 85, 1.5},
        {"ADVANCE", -27, -0.1}, {"RPM", 4000, 0.5}, {"INJPW", 160, 1},
        {"BOOST", -15, -0.5},   {"ECT", 300, 1},    {"WIDEO2", 14.7f, 0.735},
    };
    for (const auto& c : cases) {
        const ScopeChannel& ch = *FindScopeChannel(c.name);
        EngData e{};
        e.*ch.source = c.value;
        EXPECT_NEAR(ScopeScaled(ch, e), c.scaled, 1e-6) << c.name << " " << c.value;
    }
}

TEST(ScopeChannels, ReadOutIsTheInverseOfTheScaling) {
    struct Case {
        const char* name;
        double fraction;
        const char* text;
    };
    const Case cases[] = {
        {"RPM", 0.5, "4000"},    {"LOAD", 0.123456, "0.24"}, {"ADVANCE", 0.1, "-13"},
        {"HEGOL", 0.25, "0.25"}, {"*OFF*", 0.7, "0"},        {"rpm", 0.5, "0"},
        {"bogus", 0.5, "0"},     {"INJPW", 0.5, "80"},       {"VACUUM", 0.1, "3"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TwoDecimalText(ScopeReadout(c.name, c.fraction)), c.text) << c.name;
    }
    // Every channel's read-out undoes its scaling.
    for (const auto& ch : kScopeChannels) {
        if (!ScopePlots(ch)) {
            continue;
        }
        EngData e{};
        e.*ch.source = 12.5f;
        EXPECT_NEAR(ScopeReadout(ch.name, ScopeScaled(ch, e)), 12.5, 1e-9) << ch.name;
    }
}

TEST(TwoDecimalText, CutsTowardMinusInfinity) {
    const std::pair<double, const char*> doubles[] = {
        {-1.234, "-1.24"}, {12.345, "12.34"}, {4000, "4000"},
        {0, "0"},          {12.5, "12.5"},    {2345.67, "2345.67"},
        {-3.46, "-3.46"},  {0.29, "0.29"},    {-0.001, "-0.01"},
        {0.009, "0"},      {-0.0, "0"},       {-9.999, "-10"},
        {0.24691, "0.24"}, {-99.995, "-100"}, {-12.999999999999998, "-13"},
    };
    for (const auto& [value, text] : doubles) {
        EXPECT_EQ(TwoDecimalText(value), text) << value;
    }
    EXPECT_EQ(TwoDecimalText(1e20), "100000000000000000000");
    const std::pair<float, const char*> floats[] = {
        {12.345f, "12.34"}, {-3.46f, "-3.46"},     {-1.234f, "-1.24"},
        {0.00001f, "0"},    {7999.99f, "7999.99"}, {-0.07f, "-0.07"},
    };
    for (const auto& [value, text] : floats) {
        EXPECT_EQ(TwoDecimalText(value), text) << value;
    }
}

}  // namespace
}  // namespace quelm
