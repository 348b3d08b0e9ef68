#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/app_paths.h"
#include "files/maf_table.h"
#include "files_test_support.h"

namespace quelm {
namespace {

class MafTableTest : public ::testing::Test {
  protected:
    std::filesystem::path Write(const std::string& name, const std::string& text) {
        const auto path = dir_ / name;
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    // Header plus `count` points from 0 V to 5 V, flow rising linearly to 1200.
    static std::string Curve(int count, const char* eol = "\r\n") {
        std::ostringstream out;
        out << "Volts , Kg/HR" << eol;
        for (int i = 0; i < count; ++i) {
            out << i / 6.0 << ',' << i * 40 << eol;
        }
        return out.str();
    }

    testing::ScratchDir dir_;
};

TEST_F(MafTableTest, FullRisingCurveLoadsAllPointsAndItsLargestFlow) {
    for (const char* eol : {"\r\n", "\r", "\n"}) {
        const auto r = LoadMafTable(Write("rising.maf", Curve(31, eol)), {});
        EXPECT_TRUE(r.complete);
        EXPECT_TRUE(r.messages.empty());
        EXPECT_FALSE(r.usedFallback);
        EXPECT_EQ(r.curve.largestFlow, 1200);
        EXPECT_EQ(r.curve.points[0].x, 0);
        EXPECT_DOUBLE_EQ(r.curve.points[30].x, 5);
        EXPECT_EQ(r.curve.points[30].y, 1200);
        EXPECT_EQ(r.curve.kghr[15], "600");
    }
}

// A file that ends early, has a line without a comma or no points at all is reported, and the
// rows from that line on keep their earlier values, the largest flow too. Lines after the 31
// points are ignored. (That any bytes load as finite numbers is the fuzz target's work.)
TEST_F(MafTableTest, DamagedFilesKeepTheEarlierRowsAndReportTheFault) {
    struct Case {
        const char* name;
        std::string text;
        std::size_t firstUntouched;  // rows from here on keep their earlier values
    };
    std::string noComma = Curve(31);
    noComma[noComma.find(",600\r")] = ';';  // row 15
    std::string tenThousand = Curve(31);
    for (int i = 0; i < 10000; ++i) {
        tenThousand += "9,99999\r\n";
    }
    const Case cases[] = {
        {"ten thousand lines", tenThousand, kMafPoints},
        {"short", Curve(20), 20},
        {"line without comma", noComma, 15},
        {"no commas at all", "Volts  Kg/HR\n1 2\n3 4\n", 0},
        {"header only", "Volts , Kg/HR", 0},
    };
    MafCurve earlier;
    earlier.volts.fill("earlier");
    earlier.points.fill({-7, -7});
    earlier.largestFlow = 900;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const MafLoadResult r = LoadMafTable(Write("curve.maf", c.text), earlier);
        const bool complete = c.firstUntouched == kMafPoints;
        EXPECT_EQ(r.complete, complete);
        EXPECT_FALSE(r.usedFallback);
        EXPECT_EQ(r.messages, complete ? std::vector<std::string>{}
                                       : std::vector<std::string>{kMafNotInstalledMessage});
        for (std::size_t i = 0; i < kMafPoints; ++i) {
            EXPECT_TRUE(std::isfinite(r.curve.points[i].x) && std::isfinite(r.curve.points[i].y));
            EXPECT_EQ(r.curve.volts[i] == "earlier", i >= c.firstUntouched) << "row " << i;
        }
        if (!complete) {
            EXPECT_EQ(r.curve.largestFlow, 900);
        }
    }
    const auto r = LoadMafTable(Write("curve.maf", tenThousand), {});
    EXPECT_EQ(r.curve.largestFlow, 1200);
    EXPECT_EQ(r.curve.points[30].y, 1200);
    EXPECT_EQ(LoadMafTable(Write("curve.maf", Curve(20)), {}).curve.points[19].y, 19 * 40);
}

// Blanks around the comma stay in the texts but not in the values; a repeated voltage is kept
// as written.
TEST_F(MafTableTest, RowsAreKeptAsWritten) {
    std::string text = "Volts , Kg/HR\r\n";
    for (int i = 0; i < 31; ++i) {
        text += i == 15 ? "2.5 , 130\r\n"
                        : (i == 10 || i == 11 ? "1.5," : "1,") + std::to_string(i * 10) + "\r\n";
    }
    const auto r = LoadMafTable(Write("rows.maf", text), {});
    EXPECT_TRUE(r.complete);
    EXPECT_EQ(r.curve.volts[15], "2.5 ");
    EXPECT_EQ(r.curve.kghr[15], " 130");
    EXPECT_EQ(r.curve.points[15].x, 2.5);
    EXPECT_EQ(r.curve.points[15].y, 130);
    EXPECT_EQ(r.curve.points[10].x, 1.5);
    EXPECT_EQ(r.curve.points[11].x, 1.5);
    EXPECT_EQ(r.curve.points[11].y, 110);
}

TEST_F(MafTableTest, MissingFileOrFolderFallsBackToTheStockCurve) {
    for (const auto& path : {dir_ / "nowhere.maf", dir_.path()}) {
        const auto r = LoadMafTable(path, {});
        ASSERT_FALSE(r.messages.empty());
        EXPECT_EQ(r.messages[0], kMafNotFoundMessage);
        EXPECT_TRUE(r.usedFallback);
        EXPECT_EQ(r.path, StockMafPath());
    }
}

TEST_F(MafTableTest, ShippedStockCurveRisesFromZeroToFiveVolts) {
    const auto r =
        LoadMafTable(std::filesystem::path(QUELM_SOURCE_DIR) / "maflib/a9lstock.maf", {});
    ASSERT_TRUE(r.complete) << (r.messages.empty() ? "" : r.messages[0]);
    EXPECT_EQ(r.curve.points[0].x, 0);
    EXPECT_EQ(r.curve.points[30].x, 5);
    for (std::size_t i = 1; i < kMafPoints; ++i) {
        EXPECT_GT(r.curve.points[i].x, r.curve.points[i - 1].x) << i;
        EXPECT_GE(r.curve.points[i].y, r.curve.points[i - 1].y) << i;
    }
    EXPECT_GE(r.curve.largestFlow, 1000);
    EXPECT_LE(r.curve.largestFlow, 1300);
}

TEST_F(MafTableTest, SaveWritesHeaderAndPointsWithCrLfAndLoadsBack) {
    std::array<std::string, kMafPoints> volts;
    std::array<std::string, kMafPoints> kghr;
    for (std::size_t i = 0; i < kMafPoints; ++i) {
        volts[i] = std::to_string(i);
        kghr[i] = std::to_string(i * 3);
    }
    volts[7].clear();
    kghr[7].clear();
    const auto path = dir_ / "saved.maf";
    ASSERT_FALSE(SaveMafFile(path, volts, kghr));

    const std::string text = testing::Slurp(path);
    EXPECT_EQ(text.substr(0, 22), "Volts , Kg/HR\r\n0,0\r\n1,");
    EXPECT_NE(text.find("\r\n,\r\n"), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 7), "30,90\r\n");

    const auto r = LoadMafTable(path, {});
    ASSERT_TRUE(r.complete);
    EXPECT_EQ(r.curve.volts, volts);
    EXPECT_EQ(r.curve.kghr, kghr);
    EXPECT_EQ(r.curve.points[7].x, 0);
    EXPECT_EQ(r.curve.points[7].y, 0);
    EXPECT_EQ(r.curve.largestFlow, 90);
}

TEST(MafExtension, AppendedUnlessTheNameEndsExactlyInDotMaf) {
    EXPECT_EQ(WithMafExtension("/a/curve2"), "/a/curve2.maf");
    EXPECT_EQ(WithMafExtension("/a/curve2.MAF"), "/a/curve2.MAF.maf");
    EXPECT_EQ(WithMafExtension(" /a/curve2.maf  "), "/a/curve2.maf");
    EXPECT_EQ(WithMafExtension("/a/b.mafx"), "/a/b.mafx.maf");
}

}  // namespace
}  // namespace quelm
