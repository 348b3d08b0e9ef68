#include "tools/trouble_codes.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace quelm {
namespace {

// The texts themselves are the table's; what can go wrong is how many are known, where, and a
// stale table or a code out of range read.
TEST(TroubleCodes, FiftyOneKnownCodesAndEmptyTextElsewhere) {
    TroubleCodes table;
    table.fill("stale");
    LoadTroubleCodes(table);
    const auto known =
        std::count_if(table.begin(), table.end(), [](std::string_view t) { return !t.empty(); });
    EXPECT_EQ(known, 51);
    EXPECT_EQ(TroubleCodeText(table, 11), "System Pass");
    for (int code : {-1, 0, 10, 12, 20, 100, 111, 254, 999, 1000}) {
        EXPECT_EQ(TroubleCodeText(table, code), "") << code;
    }
    EXPECT_EQ(TroubleCodeText(table, 62), TroubleCodeText(table, 69));
    EXPECT_EQ(TroubleCodeText(table, 98), TroubleCodeText(table, 99));
}

}  // namespace
}  // namespace quelm
