#include "files/log_format.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <optional>

#include "files/log_marks.h"
#include "files_test_support.h"

namespace quelm {
namespace {

// Truncated hundredths, high byte first; negative or undefined times stamp zero, and the stamp
// stops at its 24-bit limit.
TEST(LogTimeStamp, EncodesTruncatedHundredthsHighByteFirst) {
    const std::pair<double, std::optional<TimeStamp>> cases[] = {
        {0.0, TimeStamp{0, 0, 0}},
        {0.009, TimeStamp{0, 0, 0}},
        {0.07, TimeStamp{0, 0, 7}},
        {12.345, TimeStamp{0, 4, 210}},  // 1234.5 hundredths, truncated
        {12.34, TimeStamp{0, 4, 210}},
        {5012.45 - 5000.0, TimeStamp{0, 4, 221}},  // 12.4499999...: clock noise, not less time
        {0.29, TimeStamp{0, 0, 29}},               // 28.999999... hundredths in binary
        {700.0, TimeStamp{0x01, 0x11, 0x70}},      // 70 000 hundredths
        {86400.5, TimeStamp{0x83, 0xD6, 0x32}},    // past midnight: 8 640 050
        {167772.15, TimeStamp{0xFF, 0xFF, 0xFF}},
        {167772.159, TimeStamp{0xFF, 0xFF, 0xFF}},
        {167772.16, std::nullopt},  // 2^24 hundredths
        {std::numeric_limits<double>::infinity(), std::nullopt},
        {-0.5, TimeStamp{0, 0, 0}},
        {std::nan(""), TimeStamp{0, 0, 0}},
    };
    for (const auto& [seconds, stamp] : cases) {
        EXPECT_EQ(EncodeTimeStamp(seconds), stamp) << seconds;
    }
}

TEST(LogRecordLayout, FrameThenStampThenZeroPadding) {
    FrameBuffer b{};
    std::iota(b.begin(), b.end(), std::uint8_t{1});
    const LogRecord r = MakeLogRecord(b);
    EXPECT_TRUE(std::equal(b.begin(), b.end(), r.begin()));
    EXPECT_TRUE(std::all_of(r.begin() + b.size(), r.end(), [](std::uint8_t x) { return x == 0; }));
}

TEST(LogMarks, RoundTripKeepsTheGoodLinesAndNamesTheBadOnes) {
    testing::ScratchDir dir;
    const auto marks = MarksPath(dir / "run.qm1");
    EXPECT_EQ(marks, dir / "run.qm1.marks");
    EXPECT_TRUE(ReadLogMarks(marks).marks.empty());  // no file yet: no markers, no error

    const std::vector<LogMark> saved = {{1.5, "knock"}, {12.34, "Mark 2"}, {0, ""}};
    ASSERT_EQ(SaveLogMarks(marks, saved), std::nullopt);
    ASSERT_EQ(AppendLogMark(marks, {7.25, "tab\there"}), std::nullopt);
    EXPECT_EQ(testing::Slurp(marks), "1.50\tknock\n12.34\tMark 2\n0.00\t\n7.25\ttab here\n");

    // A crash left a line without its end; then damaged lines and a blank one.
    testing::Put(marks, testing::Slurp(marks) + "3.00\tcut");
    ASSERT_EQ(AppendLogMark(marks, {4, "next"}), std::nullopt);
    testing::Put(marks, testing::Slurp(marks) + "no tab\n-1\tneg\n\nabc\tx\n5\twin\r\n");
    const MarksReadResult read = ReadLogMarks(marks);
    const std::vector<LogMark> expected = {{1.5, "knock"},     {12.34, "Mark 2"}, {0, ""},
                                           {7.25, "tab here"}, {3, "cut"},        {4, "next"},
                                           {5, "win"}};
    EXPECT_EQ(read.marks, expected);
    EXPECT_EQ(read.badLines,
              (std::vector<std::string>{"line 7: no tab between the time and the label",
                                        "line 8: \"-1\" is not a time in seconds",
                                        "line 10: \"abc\" is not a time in seconds"}));
    EXPECT_EQ(NextMarkNumber(read.marks), 8);

    // The export's list: the time as the CSV export writes it, labels quoted where needed.
    const auto csv = MarksCsvPath(dir / "run.qm1");
    EXPECT_EQ(csv, dir / "run.marks.csv");
    ASSERT_EQ(WriteMarksCsv(csv, std::vector<LogMark>{{0.07, "a, \"b\""}, {12, "c"}}),
              std::nullopt);
    EXPECT_EQ(testing::Slurp(csv), "Time(s),Marker\r\n.07,\"a, \"\"b\"\"\"\r\n12,c\r\n");

    // A file that cannot be replaced is reported and left as it was.
    std::filesystem::create_directory(dir / "blocked.marks");
    EXPECT_NE(SaveLogMarks(dir / "blocked.marks", saved), std::nullopt);
}

}  // namespace
}  // namespace quelm
