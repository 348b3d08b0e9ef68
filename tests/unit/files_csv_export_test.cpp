#include "files/csv_export.h"

#include <gtest/gtest.h>

#include <sstream>

#include "decode/calibration_tables.h"
#include "files_test_support.h"

namespace quelm {
namespace {

using testing::Names;
using testing::Put;
using testing::ScratchDir;
using testing::Slurp;
using testing::StampedFrame;

std::vector<std::string> CrLfLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const auto end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start) + "<no CR LF>");
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::stringstream in(line);
    for (std::string f; std::getline(in, f, ',');) {
        fields.push_back(f);
    }
    return fields;
}

TEST(CsvExport, OneLinePerWholeRecordAndABadRecordRepeatsTheValuesBeforeIt) {
    ScratchDir dir;
    const auto source = dir / "run1.qm1";
    FrameBuffer bad = StampedFrame(1234);
    bad[37] ^= 0x5A;  // checksum fails: record 2's raw values are converted again
    Put(source, testing::RecordBytes(StampedFrame(0)) + testing::RecordBytes(StampedFrame(7)) +
                    testing::RecordBytes(bad) + testing::RecordBytes(StampedFrame(1300)) +
                    std::string(30, '\x11'));  // and a trailing partial record
    std::vector<std::pair<std::uint64_t, std::uint64_t>> calls;
    const CsvExportResult r = ExportLogToCsv(source, LiveConfig{}, BuiltInTables(),
                                             [&](std::uint64_t done, std::uint64_t total) {
                                                 calls.emplace_back(done, total);
                                                 return true;
                                             });
    ASSERT_EQ(r.kind, CsvExportResult::Kind::Done) << r.error;
    EXPECT_EQ(r.records, 4u);
    EXPECT_EQ(r.output, dir / "run1.csv");
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back(), std::make_pair(std::uint64_t{4}, std::uint64_t{4}));

    const auto lines = CrLfLines(Slurp(r.output));
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], kCsvHeader);
    std::vector<std::vector<std::string>> rows;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        rows.push_back(Fields(lines[i]));
        ASSERT_EQ(rows.back().size(), 21u) << lines[i];
    }
    EXPECT_EQ(rows[0][0], "0");
    EXPECT_EQ(rows[1][0], ".07");
    EXPECT_EQ(rows[2][0], "12.34");  // the bad record's own time stamp
    EXPECT_EQ(rows[3][0], "13");
    const std::vector<std::string> values1(rows[1].begin() + 1, rows[1].end());
    const std::vector<std::string> values2(rows[2].begin() + 1, rows[2].end());
    EXPECT_EQ(values2, values1);
    EXPECT_NE(rows[0][5], rows[1][5]);  // the records really differ
    EXPECT_NE(rows[3][5], rows[1][5]);
}

TEST(CsvExport, LinesAreFormattedWithSevenDigitsAndTheTimeWithFifteen) {
    EngData e;
    e.TPS = -0.25f;
    e.MAF = 1.234567890f;
    e.RWTQ = 123456789.0f;
    std::string line;
    AppendCsvLine(line, 167772.15, e);
    const auto f = Fields(line);
    ASSERT_EQ(f.size(), 21u);
    EXPECT_EQ(f[0], "167772.15");
    EXPECT_EQ(f[4], "-.25");
    EXPECT_EQ(f[5], "1.234568");
    EXPECT_EQ(f[20], "1.234568E+08");
}

TEST(CsvExport, OutputLiesBesideTheSourceWithItsExtensionReplaced) {
    const std::pair<const char*, const char*> cases[] = {
        {"/c/logs/run1.qm1", "/c/logs/run1.csv"},
        {"/c/logs/run1", "/c/logs/run1.csv"},
        {"/c/my.logs/run1", "/c/my.logs/run1.csv"},
        {"/c/my.logs/run.1.qm1", "/c/my.logs/run.1.csv"},
        {"run1.QM1", "run1.csv"},
        {"/c/logs/run1.", "/c/logs/run1.csv"},
    };
    for (auto [source, output] : cases) {
        EXPECT_EQ(CsvOutputPath(source), std::filesystem::path(output)) << source;
    }
    EXPECT_TRUE(IsCsvPath("/c/run1.csv"));
    EXPECT_TRUE(IsCsvPath("/c/run1.CsV"));
    EXPECT_FALSE(IsCsvPath("/c/run1.csv.qm1"));
    EXPECT_FALSE(IsCsvPath("/c.csv/run1"));
    EXPECT_FALSE(IsCsvPath("csv"));
}

TEST(CsvExport, RefusesACsvSourceAndCreatesNothing) {
    ScratchDir dir;
    const auto csv = dir / "run1.CSV";
    Put(csv, std::string(96, '\1'));
    const CsvExportResult r = ExportLogToCsv(csv, LiveConfig{}, BuiltInTables());
    EXPECT_EQ(r.kind, CsvExportResult::Kind::Error);
    EXPECT_FALSE(r.error.empty());
    EXPECT_EQ(Names(dir.path()), std::set<std::string>{"run1.CSV"});
    EXPECT_EQ(Slurp(csv).size(), 96u);
}

TEST(CsvExport, ReplacesAnEarlierCsvButACancelledExportKeepsIt) {
    ScratchDir dir;
    const auto source = dir / "run1.qm1";
    testing::WriteLog(source, 3);
    Put(dir / "run1.csv", "old");

    CsvExportResult r =
        ExportLogToCsv(source, LiveConfig{}, BuiltInTables(), [](auto, auto) { return false; });
    EXPECT_EQ(r.kind, CsvExportResult::Kind::Cancelled);
    EXPECT_EQ(Slurp(dir / "run1.csv"), "old");
    EXPECT_EQ(Names(dir.path()), (std::set<std::string>{"run1.csv", "run1.qm1"}));

    r = ExportLogToCsv(source, LiveConfig{}, BuiltInTables());
    ASSERT_EQ(r.kind, CsvExportResult::Kind::Done) << r.error;
    EXPECT_EQ(CrLfLines(Slurp(dir / "run1.csv")).size(), 4u);
}

TEST(CsvExport, EmptyLogGivesTheHeaderOnly) {
    ScratchDir dir;
    const auto source = dir / "empty";
    Put(source, std::string(47, '\0'));
    const CsvExportResult r = ExportLogToCsv(source, LiveConfig{}, BuiltInTables());
    ASSERT_EQ(r.kind, CsvExportResult::Kind::Done) << r.error;
    EXPECT_EQ(r.records, 0u);
    const auto lines = CrLfLines(Slurp(dir / "empty.csv"));
    EXPECT_EQ(lines, std::vector<std::string>{kCsvHeader});
}

}  // namespace
}  // namespace quelm
