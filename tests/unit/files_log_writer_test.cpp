#include "files/log_writer.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <functional>
#include <utility>

#include "files/log_format.h"
#include "files/log_name.h"
#include "files_test_support.h"
#include "scratch_mount.h"

namespace quelm {
namespace {

using testing::RunInChild;
using testing::ScratchDir;
using testing::Slurp;
using testing::StampedFrame;
using Kind = LogWriteResult::Kind;

TEST(LogName, DatedNameInTheFolder) {
    std::tm local{};
    local.tm_year = 2024 - 1900;
    local.tm_mon = 1;  // February
    local.tm_mday = 9;
    local.tm_hour = 7;
    local.tm_min = 5;
    local.tm_sec = 3;
    EXPECT_EQ(DatedLogName(local), "quelm-20240209-070503.qm1");
}

TEST(LogRecorder, FiveHundredFramesGiveTwentyFourThousandBytes) {
    ScratchDir dir;
    const auto path = dir / "run1.qm1";
    testing::Put(path, std::string(48000, '\x55'));  // an older, longer log is replaced
    EXPECT_TRUE(LogFileExists(path));
    EXPECT_FALSE(LogFileExists(dir / "new.qm1"));
    EXPECT_FALSE(LogFileExists(""));
    LogRecorder rec;
    ASSERT_FALSE(rec.StartRecording(path, 5000.0));
    EXPECT_TRUE(rec.Recording());
    EXPECT_EQ(rec.RecordNumber(), 1u);
    EXPECT_EQ(rec.RecordStartTime(), 5000.0);
    LogWriteResult last;
    for (int i = 0; i < 500; ++i) {
        FrameBuffer frame = StampedFrame(static_cast<std::uint32_t>(i));
        frame[38] = 0xEE;  // whatever the link left there is replaced by the stamp
        last = rec.WriteLogRecord(frame, 5000.0 + i * 0.05);
        ASSERT_EQ(last.kind, Kind::Written) << last.message;
    }
    EXPECT_EQ(last.recordNumber, 501u);
    EXPECT_EQ(last.fileSizeKb, 24u);
    EXPECT_NEAR(last.elapsed, 24.95, 1e-9);

    const std::string bytes = Slurp(path);
    ASSERT_EQ(bytes.size(), 24000u);
    for (std::uint64_t n : {1u, 2u, 250u, 500u}) {
        SCOPED_TRACE(n);
        const std::span<const std::uint8_t> record(
            reinterpret_cast<const std::uint8_t*>(bytes.data()) + LogRecordOffset(n),
            kLogRecordBytes);
        EXPECT_EQ(record[0], static_cast<std::uint8_t>(n - 1));
        EXPECT_EQ(TimeStampHundredths(record), static_cast<std::uint32_t>((n - 1) * 5));
    }
}

TEST(LogRecorder, TimeLimitStopsWithoutWriting) {
    ScratchDir dir;
    const auto path = dir / "long.qm1";
    LogRecorder rec;
    ASSERT_FALSE(rec.StartRecording(path, 100.0));
    FrameBuffer frame = StampedFrame(1);
    ASSERT_EQ(rec.WriteLogRecord(frame, 100.0 + 167772.15).kind, Kind::Written);
    const LogWriteResult r = rec.WriteLogRecord(frame, 100.0 + 167772.17);
    EXPECT_EQ(r.kind, Kind::LimitReached);
    EXPECT_EQ(r.message, "Maximum 46hour Log Time Exceeded.  Logging Stopped.");
    EXPECT_FALSE(rec.Recording());
    EXPECT_EQ(r.recordNumber, 2u);
    EXPECT_EQ(Slurp(path).size(), 48u);
}

TEST(LogRecorder, UnusableNamesAreReportedAtStart) {
    ScratchDir dir;
    for (const std::filesystem::path& path :
         {std::filesystem::path(), dir / "missing" / "run.qm1", dir.path()}) {
        SCOPED_TRACE(path);
        LogRecorder rec;
        const auto error = rec.StartRecording(path, 0);
        ASSERT_TRUE(error.has_value());
        EXPECT_FALSE(error->empty());
        EXPECT_FALSE(rec.Recording());
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
}

// The disk fills in mid-recording: the error says so, recording stops, and the file holds exactly
// the records reported written.
TEST(LogRecorder, DiskFillingKeepsEveryRecordWritten) {
    ScratchDir dir;
    std::string why;
    const auto disk = test::ScratchMount::Tmpfs(dir / "disk", 64 * 1024, why);
    if (!disk) {
        GTEST_SKIP() << why;
    }
    const auto path = disk->path() / "run.qm1";
    LogRecorder rec;
    ASSERT_FALSE(rec.StartRecording(path, 0));
    std::string written;
    LogWriteResult last;
    for (std::uint32_t n = 0; n < 5000; ++n) {
        if (n == 5) {
            disk->Fill();
        }
        FrameBuffer frame = StampedFrame(n);
        last = rec.WriteLogRecord(frame, n * 0.01);
        if (last.kind != Kind::Written) {
            break;
        }
        written += testing::RecordBytes(frame);
    }
    ASSERT_EQ(last.kind, Kind::Error) << "the disk never filled";
    EXPECT_NE(last.message.find("No space left on device"), std::string::npos) << last.message;
    EXPECT_FALSE(rec.Recording());
    EXPECT_GE(written.size(), 5 * kLogRecordBytes);
    EXPECT_TRUE(Slurp(path) == written);
}

// A write that only partly gets through (here: a file size limit 4 bytes past two records)
// must not leave a partial record in the file.
TEST(LogRecorder, ShortWriteIsCutBackToWholeRecords) {
    ScratchDir dir;
    const auto path = dir / "run.qm1";
    const int status = RunInChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{2 * kLogRecordBytes + 4, 2 * kLogRecordBytes + 4};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) {
            return 10;
        }
        LogRecorder rec;
        if (rec.StartRecording(path, 0)) {
            return 11;
        }
        for (int i = 0; i < 2; ++i) {
            FrameBuffer frame = StampedFrame(static_cast<std::uint32_t>(i));
            if (rec.WriteLogRecord(frame, i).kind != Kind::Written) {
                return 12;
            }
        }
        FrameBuffer frame = StampedFrame(2);
        const LogWriteResult r = rec.WriteLogRecord(frame, 2);
        return r.kind == Kind::Error && !rec.Recording() ? 0 : 13;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(Slurp(path).size(), 2 * kLogRecordBytes);
}

// The log is moved away, deleted, replaced or cut short in mid-recording. A recorder that
// followed the name would start a new file at record n, and the zero-filled gap before it reads
// back as records that pass the checksum. It stops instead, writing nothing more anywhere.
TEST(LogRecorder, StopsWhenTheNameNoLongerLeadsToItsFile) {
    namespace fs = std::filesystem;
    const std::pair<const char*, std::function<void(const fs::path&)>> cases[] = {
        {"was moved or deleted", [](const fs::path& p) { fs::rename(p, p.string() + ".moved"); }},
        {"was moved or deleted", [](const fs::path& p) { fs::remove(p); }},
        {"was replaced by another file",
         [](const fs::path& p) {
             fs::rename(p, p.string() + ".moved");
             testing::Put(p, "");
         }},
        {"was cut short", [](const fs::path& p) { fs::resize_file(p, kLogRecordBytes); }},
        {"Is a directory",
         [](const fs::path& p) {
             fs::remove(p);
             fs::create_directory(p);
         }},
    };
    for (const auto& [message, act] : cases) {
        SCOPED_TRACE(message);
        ScratchDir dir;
        const auto path = dir / "live.qm1";
        LogRecorder rec;
        ASSERT_FALSE(rec.StartRecording(path, 0));
        for (int i = 0; i < 3; ++i) {
            FrameBuffer frame = StampedFrame(static_cast<std::uint32_t>(i));
            ASSERT_EQ(rec.WriteLogRecord(frame, i).kind, Kind::Written);
        }
        act(path);
        const auto namesBefore = testing::Names(dir.path());
        const auto bytesBefore = Slurp(path);
        FrameBuffer frame = StampedFrame(3);
        const LogWriteResult r = rec.WriteLogRecord(frame, 3);
        EXPECT_EQ(r.kind, Kind::Error);
        EXPECT_NE(r.message.find(message), std::string::npos) << r.message;
        EXPECT_NE(r.message.find("live.qm1"), std::string::npos) << r.message;
        EXPECT_FALSE(rec.Recording());
        EXPECT_EQ(testing::Names(dir.path()), namesBefore);
        EXPECT_EQ(Slurp(path), bytesBefore);
        if (fs::exists(dir / "live.qm1.moved")) {
            EXPECT_EQ(fs::file_size(dir / "live.qm1.moved"), 3 * kLogRecordBytes);
        }
    }
}

}  // namespace
}  // namespace quelm
