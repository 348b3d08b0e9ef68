#include "sim/flash_schedule.h"

#include <gtest/gtest.h>

#include "tools/flash_decoder.h"

namespace quelm::sim {
namespace {

// One pass as the self-test tool reads it: each flash and the dark after it fed to its decoder.
std::vector<int> ReadCodes(const std::vector<LightSpan>& pass) {
    std::vector<int> codes;
    FlashDecoderState state;
    for (std::size_t i = 0; i + 1 < pass.size(); i += 2) {
        EXPECT_TRUE(pass[i].lit && !pass[i + 1].lit) << "span " << i;
        const FlashCycleResult r = DecodeFlashCycle(state, pass[i].seconds, pass[i + 1].seconds);
        state = r.state;
        if (r.codeEnded && IsListedCode(r.code)) {
            codes.push_back(r.code);
        }
        if (r.testEnded) {
            EXPECT_EQ(i + 2, pass.size()) << "the test ends only after the end-of-list flash";
            return codes;
        }
    }
    ADD_FAILURE() << "the pass never ends the test";
    return codes;
}

// The engine computer's timing reads back as its codes, a 0 being ten flashes; the light is
// dark until the tool has waited its 6 seconds, and the pass repeats.
TEST(SimFlashSchedule, CodesReadBackWithEngineComputerTiming) {
    EXPECT_EQ(ReadCodes(FlashPass({11, 23})), (std::vector<int>{11, 23}));
    EXPECT_EQ(ReadCodes(FlashPass({10, 111})), (std::vector<int>{10, 111}));
    const auto pass = FlashPass({11});
    EXPECT_FALSE(LightLitAt(pass, 0));
    EXPECT_FALSE(LightLitAt(pass, 6.0));
    EXPECT_FALSE(LightLitAt(pass, kSelfTestLeadIn - 0.01));
    EXPECT_TRUE(LightLitAt(pass, kSelfTestLeadIn + 0.01));
    double length = 0;
    for (const LightSpan& s : pass) {
        length += s.seconds;
    }
    EXPECT_TRUE(LightLitAt(pass, kSelfTestLeadIn + length + 0.01));
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
