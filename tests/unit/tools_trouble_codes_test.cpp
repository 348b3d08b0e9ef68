#include "tools/trouble_codes.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace quelm {
namespace {

TEST(TroubleCodes, FiftyOneKnownCodesAndEmptyTextElsewhere) {
    const TroubleCodes table = LoadTroubleCodes();
    const auto known =
        std::count_if(table.begin(), table.end(), [](std::string_view t) { return !t.empty(); });
    EXPECT_EQ(known, 51);
    for (int code : {0, 10, 12, 20, 100, 111, 254, 999}) {
        EXPECT_EQ(TroubleCodeText(table, code), "") << code;
    }
}

TEST(TroubleCodes, TextsKeepTheirOriginalWording) {
    const TroubleCodes table = LoadTroubleCodes();
    struct Row {
        int code;
        std::string_view text;
    };
    const Row rows[] = {
        {11, "System Pass"},
        {16, "Ignition Diagnostic Monitor (IDM) signal not recieved"},
        {21, "ECT out of self-test range"},
        {23, "TPS out of self test range"},
        {58, "VAT indicated -40deg F; circuit open"},
        {83,
         "EGRC solenoid circuit failure (2.3L MAP), High speed electro-drive fan HEDF circuit "
         "failure or Low speed fuel pump relay circuit open (3.0L MAF-SFI)"},
        {89,
         "AXOD Lock-Up Solenoid circuit failure or Clutch Converter Overide (CCO) circuit "
         "failure"},
        {92, "Shift Solenoid 2 circuit failure"},
        {99, "Electronic Pressure Control (EPC) circuit failure"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(TroubleCodeText(table, row.code), row.text) << row.code;
    }
    EXPECT_EQ(TroubleCodeText(table, 62), TroubleCodeText(table, 69));
    EXPECT_EQ(TroubleCodeText(table, 98), TroubleCodeText(table, 99));
}

TEST(TroubleCodes, LoadingOverwritesAStaleTableAndLookupRejectsOutOfRange) {
    TroubleCodes table;
    table.fill("stale");
    LoadTroubleCodes(table);
    EXPECT_EQ(TroubleCodeText(table, 12), "");
    EXPECT_EQ(TroubleCodeText(table, 11), "System Pass");
    EXPECT_EQ(TroubleCodeText(table, -1), "");
    EXPECT_EQ(TroubleCodeText(table, 1000), "");
}

}  // namespace
}  // namespace quelm
