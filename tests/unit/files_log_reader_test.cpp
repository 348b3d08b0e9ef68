#include "files/log_reader.h"

#include <gtest/gtest.h>

#include "files/log_format.h"
#include "files_test_support.h"

namespace quelm {
namespace {

using testing::ScratchDir;
using testing::StampedFrame;
using testing::WriteLog;

TEST(LogReader, ReadsNumberedRecordsAndIgnoresATrailingPartialRecord) {
    ScratchDir dir;
    const auto path = dir / "run.qm1";
    WriteLog(
        path, 500, [](std::uint32_t n) { return n * 3; }, 20);  // 24 020 bytes

    LogReader reader(path);
    ASSERT_TRUE(reader.IsOpen()) << reader.Error();
    EXPECT_EQ(reader.FileBytes(), 24020u);
    EXPECT_EQ(reader.RecordCount(), 500u);

    FrameBuffer b{};
    for (std::uint64_t n : {1u, 2u, 499u, 500u}) {
        SCOPED_TRACE(n);
        ASSERT_TRUE(reader.ReadRecord(n, b));
        EXPECT_EQ(b, StampedFrame(static_cast<std::uint32_t>(n) * 3));
    }
    const FrameBuffer before = b;
    EXPECT_FALSE(reader.ReadRecord(0, b));
    EXPECT_FALSE(reader.ReadRecord(501, b));  // the 20 trailing bytes are never read
    EXPECT_EQ(b, before);

    // Blocks of whole records, also through a reader that was moved: it keeps the file.
    LogReader moved(std::move(reader));
    std::vector<std::uint8_t> block(3 * kLogRecordBytes + 10);
    ASSERT_EQ(moved.ReadRecords(1, block), 3u);
    EXPECT_EQ(block[2 * kLogRecordBytes], StampedFrame(9)[0]);
    ASSERT_EQ(moved.ReadRecords(499, block), 2u);
    EXPECT_EQ(block[kLogRecordBytes], StampedFrame(1500)[0]);
    EXPECT_EQ(moved.ReadRecords(501, block), 0u);
}

TEST(LogReader, MissingFileIsReportedAndNothingIsCreated) {
    ScratchDir dir;
    const auto path = dir / "absent.qm1";
    LogReader reader(path);
    EXPECT_FALSE(reader.IsOpen());
    EXPECT_NE(reader.Error().find("absent.qm1"), std::string::npos) << reader.Error();
    EXPECT_EQ(reader.RecordCount(), 0u);
    FrameBuffer b{};
    EXPECT_FALSE(reader.ReadRecord(1, b));
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_FALSE(LogReader(dir / "no" / "such.qm1").IsOpen());
    EXPECT_FALSE(LogReader(dir.path()).IsOpen());
    EXPECT_FALSE(LogReader("").IsOpen());
}

}  // namespace
}  // namespace quelm
