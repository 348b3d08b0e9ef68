#include "files/csv_export.h"

#include <gtest/gtest.h>

#include <sstream>

#include "decode/calibration_tables.h"
#include "files_test_support.h"

namespace quelm {
namespace {

using testing::AppendRecord;
using testing::ReadBytes;
using testing::ScratchDir;

// A sealed frame with engine-like readings that differ with `k`.
FrameBuffer EngineFrame(std::uint8_t k, std::uint32_t hundredths) {
    FrameBuffer b{};
    const auto be = [&](std::size_t at, unsigned v) {
        b[at] = static_cast<std::uint8_t>(v >> 8);
        b[at + 1] = static_cast<std::uint8_t>(v);
    };
    const auto le = [&](std::size_t at, unsigned v) {
        b[at] = static_cast<std::uint8_t>(v);
        b[at + 1] = static_cast<std::uint8_t>(v >> 8);
    };
    be(0, 300 + k * 10);  // MAF
    be(2, 200 + k * 20);  // TPS
    be(4, 400);
    be(6, 500);
    be(16, 100 + k);
    be(18, 120 + k);
    le(20, 5000 - k * 300);  // firing period
    le(22, 400);
    le(24, 3000 + k * 100);  // injector pulse
    le(26, 6000);
    le(30, 9000 - k * 500);
    SealFrame(b);
    b[38] = static_cast<std::uint8_t>(hundredths >> 16);
    b[39] = static_cast<std::uint8_t>(hundredths >> 8);
    b[40] = static_cast<std::uint8_t>(hundredths);
    return b;
}

std::vector<std::string> CrLfLines(const std::vector<std::uint8_t>& bytes) {
    const std::string text(bytes.begin(), bytes.end());
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

CalibrationTables Tables() {
    CalibrationTables t = BuiltInTables();
    for (std::size_t i = 0; i < kMafPoints; ++i) {
        t.maf[i] = {i * 5.0 / 30.0, i * 40.0};
    }
    return t;
}

std::vector<std::string> SortedFolder(const std::filesystem::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir)) {
        names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(CsvExport, OneLinePerWholeRecordAndABadRecordRepeatsTheValuesBeforeIt) {
    ScratchDir dir;
    const auto source = dir / "run1.qm1";
    std::vector<std::uint8_t> log;
    AppendRecord(log, EngineFrame(1, 0));
    AppendRecord(log, EngineFrame(2, 7));
    FrameBuffer bad = EngineFrame(3, 1234);
    bad[37] ^= 0x5A;  // checksum fails: record 2's raw values are converted again
    AppendRecord(log, bad);
    AppendRecord(log, EngineFrame(4, 1300));
    log.insert(log.end(), 30, 0x11);  // trailing partial record
    testing::WriteBytes(source, log);

    std::vector<std::pair<std::uint64_t, std::uint64_t>> calls;
    const CsvExportResult r = ExportLogToCsv(source, LiveConfig{}, Tables(),
                                             [&](std::uint64_t done, std::uint64_t total) {
                                                 calls.emplace_back(done, total);
                                                 return true;
                                             });
    ASSERT_EQ(r.kind, CsvExportResult::Kind::Done) << r.error;
    EXPECT_EQ(r.records, 4u);
    EXPECT_EQ(r.output, dir / "run1.csv");
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back(), std::make_pair(std::uint64_t{4}, std::uint64_t{4}));

    const auto lines = CrLfLines(ReadBytes(r.output));
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
    EXPECT_NE(rows[0][1], rows[1][1]);  // the records really differ
    EXPECT_NE(rows[3][1], rows[1][1]);
}

TEST(CsvExport, LinesAreFormattedWithSevenDigitsAndTheTimeWithFifteen) {
    EngData e;
    e.RPM = 7999.5f;
    e.LOAD = 0.5f;
    e.MPH = 0;
    e.TPS = -0.25f;
    e.MAF = 1.234567890f;
    e.RWTQ = 123456789.0f;
    std::string line;
    AppendCsvLine(line, 167772.15, e);
    const auto f = Fields(line);
    ASSERT_EQ(f.size(), 21u);
    EXPECT_EQ(f[0], "167772.15");
    EXPECT_EQ(f[1], "7999.5");
    EXPECT_EQ(f[2], ".5");
    EXPECT_EQ(f[3], "0");
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

TEST(CsvExport, RefusesACsvSourceAndAMissingSourceAndCreatesNothing) {
    ScratchDir dir;
    const auto csv = dir / "run1.CSV";
    testing::WriteBytes(csv, std::vector<std::uint8_t>(96, 1));
    CsvExportResult r = ExportLogToCsv(csv, LiveConfig{}, Tables());
    EXPECT_EQ(r.kind, CsvExportResult::Kind::Error);
    EXPECT_FALSE(r.error.empty());
    EXPECT_EQ(ReadBytes(csv).size(), 96u);

    r = ExportLogToCsv(dir / "absent.qm1", LiveConfig{}, Tables());
    EXPECT_EQ(r.kind, CsvExportResult::Kind::Error);
    EXPECT_NE(r.error.find("absent.qm1"), std::string::npos) << r.error;
    EXPECT_EQ(SortedFolder(dir.path()), std::vector<std::string>{"run1.CSV"});
}

TEST(CsvExport, UnwritableOutputIsReportedAndLeavesNoPartialFile) {
    ScratchDir dir;
    const auto source = dir / "run1.qm1";
    std::vector<std::uint8_t> log;
    AppendRecord(log, EngineFrame(1, 0));
    testing::WriteBytes(source, log);
    std::filesystem::create_directory(dir / "run1.csv");  // cannot be replaced by a file
    const CsvExportResult r = ExportLogToCsv(source, LiveConfig{}, Tables());
    EXPECT_EQ(r.kind, CsvExportResult::Kind::Error);
    EXPECT_NE(r.error.find("run1.csv"), std::string::npos) << r.error;
    EXPECT_EQ(SortedFolder(dir.path()), (std::vector<std::string>{"run1.csv", "run1.qm1"}));
}

TEST(CsvExport, ReplacesAnEarlierCsvButACancelledExportKeepsIt) {
    ScratchDir dir;
    const auto source = dir / "run1.qm1";
    std::vector<std::uint8_t> log;
    for (std::uint8_t k = 0; k < 3; ++k) {
        AppendRecord(log, EngineFrame(k, k));
    }
    testing::WriteBytes(source, log);
    testing::WriteBytes(dir / "run1.csv", {'o', 'l', 'd'});

    CsvExportResult r =
        ExportLogToCsv(source, LiveConfig{}, Tables(), [](auto, auto) { return false; });
    EXPECT_EQ(r.kind, CsvExportResult::Kind::Cancelled);
    EXPECT_EQ(ReadBytes(dir / "run1.csv").size(), 3u);
    EXPECT_EQ(SortedFolder(dir.path()), (std::vector<std::string>{"run1.csv", "run1.qm1"}));

    r = ExportLogToCsv(source, LiveConfig{}, Tables());
    ASSERT_EQ(r.kind, CsvExportResult::Kind::Done) << r.error;
    EXPECT_EQ(CrLfLines(ReadBytes(dir / "run1.csv")).size(), 4u);
}

TEST(CsvExport, EmptyLogGivesTheHeaderOnly) {
    ScratchDir dir;
    const auto source = dir / "empty";
    testing::WriteBytes(source, std::vector<std::uint8_t>(47, 0));
    const CsvExportResult r = ExportLogToCsv(source, LiveConfig{}, Tables());
    ASSERT_EQ(r.kind, CsvExportResult::Kind::Done) << r.error;
    EXPECT_EQ(r.records, 0u);
    const auto lines = CrLfLines(ReadBytes(dir / "empty.csv"));
    EXPECT_EQ(lines, std::vector<std::string>{kCsvHeader});
}

}  // namespace
}  // namespace quelm
