// The recorder and the CSV export under hostile conditions: a disk that fills mid-recording, a
// read-only folder, truncated and garbage logs. Every record written before the fault stays
// readable, every failure says why, and no partial output replaces a good file.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "decode/frame_decoder.h"
#include "files/csv_export.h"
#include "files/log_format.h"
#include "files/log_reader.h"
#include "files/log_writer.h"
#include "scratch_mount.h"

namespace quelm {
namespace {

namespace fs = std::filesystem;

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::set<std::string> Names(const fs::path& dir) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

FrameBuffer Frame(unsigned seq) {
    FrameBuffer b{};
    b[2] = static_cast<std::uint8_t>(seq >> 8);
    b[3] = static_cast<std::uint8_t>(seq);
    b[20] = 0x10;
    b[21] = 0x27;
    SealFrame(b);
    return b;
}

std::string LogOf(unsigned records) {
    std::string bytes;
    for (unsigned n = 0; n < records; ++n) {
        const LogRecord r = MakeLogRecord(Frame(n));
        bytes.append(r.begin(), r.end());
    }
    return bytes;
}

CalibrationTables Tables() {
    CalibrationTables t = BuiltInTables();
    for (std::size_t i = 0; i < kMafPoints; ++i) {
        t.maf[i] = {static_cast<double>(i) / 6.0, 40.0 * static_cast<double>(i)};
    }
    return t;
}

std::size_t Lines(const std::string& text) {
    std::size_t n = 0;
    for (std::size_t at = text.find("\r\n"); at != std::string::npos;
         at = text.find("\r\n", at + 2)) {
        ++n;
    }
    return n;
}

class LogFaultTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("quelm_log_faults_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override {
        mount_.reset();
        fs::remove_all(dir_);
    }
    fs::path SmallDisk() {
        std::string why;
        mount_ = test::ScratchMount::Tmpfs(dir_ / "disk", 64 * 1024, why);
        return mount_ ? mount_->path() : fs::path();
    }
    fs::path ReadOnlyView(const fs::path& source) {
        std::string why;
        mount_ = test::ScratchMount::ReadOnlyView(source, dir_ / "view", why);
        return mount_ ? mount_->path() : fs::path();
    }
    fs::path dir_;
    std::unique_ptr<test::ScratchMount> mount_;
};

TEST_F(LogFaultTest, DiskFillingMidRecordingStopsWithTheReasonAndKeepsEveryRecord) {
    const fs::path disk = SmallDisk();
    if (disk.empty()) {
        GTEST_SKIP() << "no privilege to mount a small tmpfs";
    }
    LogRecorder recorder;
    ASSERT_FALSE(recorder.StartRecording(disk / "run.qm1", 0));
    std::vector<FrameBuffer> written;
    for (unsigned n = 0; n < 5; ++n) {
        FrameBuffer b = Frame(n);
        ASSERT_EQ(recorder.WriteLogRecord(b, n * 0.01).kind, LogWriteResult::Kind::Written);
        written.push_back(b);
    }
    mount_->Fill();
    LogWriteResult last;
    for (unsigned n = 5; n < 5000; ++n) {
        FrameBuffer b = Frame(n);
        last = recorder.WriteLogRecord(b, n * 0.01);
        if (last.kind != LogWriteResult::Kind::Written) {
            break;
        }
        written.push_back(b);
    }
    ASSERT_EQ(last.kind, LogWriteResult::Kind::Error) << "the disk never filled";
    EXPECT_NE(last.message.find("No space left on device"), std::string::npos) << last.message;
    EXPECT_FALSE(recorder.Recording());

    // Nothing lost: the file holds exactly the records that were reported written.
    EXPECT_EQ(fs::file_size(disk / "run.qm1"), written.size() * kLogRecordBytes);
    LogReader reader(disk / "run.qm1");
    ASSERT_EQ(reader.RecordCount(), written.size());
    for (std::size_t n = 0; n < written.size(); ++n) {
        FrameBuffer got{};
        ASSERT_TRUE(reader.ReadRecord(n + 1, got));
        EXPECT_EQ(got, written[n]) << "record " << n + 1;
    }
}

TEST_F(LogFaultTest, RecordingIntoAReadOnlyFolderIsRefusedAtTheStart) {
    const fs::path folder = ReadOnlyView(dir_);
    if (folder.empty()) {
        GTEST_SKIP() << "no privilege to mount a read-only view";
    }
    LogRecorder recorder;
    const auto error = recorder.StartRecording(folder / "run.qm1", 0);
    ASSERT_TRUE(error);
    EXPECT_NE(error->find("Read-only file system"), std::string::npos) << *error;
    EXPECT_NE(error->find("run.qm1"), std::string::npos) << *error;
    EXPECT_FALSE(recorder.Recording());
    EXPECT_FALSE(fs::exists(dir_ / "run.qm1"));
}

TEST_F(LogFaultTest, ExportOntoAFullDiskFailsAndKeepsTheEarlierCsv) {
    const fs::path disk = SmallDisk();
    if (disk.empty()) {
        GTEST_SKIP() << "no privilege to mount a small tmpfs";
    }
    std::ofstream(disk / "run.qm1", std::ios::binary) << LogOf(400);
    std::ofstream(disk / "run.csv", std::ios::binary) << "earlier export\r\n";
    mount_->Fill();
    const auto before = Names(disk);
    const CsvExportResult r = ExportLogToCsv(disk / "run.qm1", LiveConfig{}, Tables());
    EXPECT_EQ(r.kind, CsvExportResult::Kind::Error);
    EXPECT_NE(r.error.find("No space left on device"), std::string::npos) << r.error;
    EXPECT_EQ(Slurp(disk / "run.csv"), "earlier export\r\n");
    EXPECT_EQ(Names(disk), before) << "a partial output was left behind";
}

TEST_F(LogFaultTest, ExportBesideALogInAReadOnlyFolderSaysWhy) {
    std::ofstream(dir_ / "run.qm1", std::ios::binary) << LogOf(3);
    const fs::path folder = ReadOnlyView(dir_);
    if (folder.empty()) {
        GTEST_SKIP() << "no privilege to mount a read-only view";
    }
    const CsvExportResult r = ExportLogToCsv(folder / "run.qm1", LiveConfig{}, Tables());
    EXPECT_EQ(r.kind, CsvExportResult::Kind::Error);
    EXPECT_NE(r.error.find("Read-only file system"), std::string::npos) << r.error;
    EXPECT_FALSE(fs::exists(dir_ / "run.csv"));
}

// A log cut off mid-record (the program was killed, the disk filled) and a file of pure
// garbage: every whole record is read and exported, the partial tail ignored, every value a
// finite number.
TEST_F(LogFaultTest, TruncatedAndGarbageLogsExportEveryWholeRecord) {
    std::mt19937 rng(17);
    std::string garbage(100 * 1000 + 17, '\0');
    for (auto& c : garbage) {
        c = static_cast<char>(rng());
    }
    const std::string full = LogOf(10);
    struct Case {
        const char* name;
        std::string bytes;
        std::uint64_t records;
    };
    const Case cases[] = {
        {"cut mid-record", full + full.substr(0, 30), 10},
        {"cut inside the first record", full.substr(0, 47), 0},
        {"empty", "", 0},
        {"garbage", garbage, garbage.size() / kLogRecordBytes},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::ofstream(dir_ / "run.qm1", std::ios::binary | std::ios::trunc) << c.bytes;
        LogReader reader(dir_ / "run.qm1");
        ASSERT_TRUE(reader.IsOpen()) << reader.Error();
        EXPECT_EQ(reader.RecordCount(), c.records);
        FrameBuffer b{};
        EXPECT_FALSE(reader.ReadRecord(c.records + 1, b));

        const CsvExportResult r = ExportLogToCsv(dir_ / "run.qm1", LiveConfig{}, Tables());
        ASSERT_EQ(r.kind, CsvExportResult::Kind::Done) << r.error;
        EXPECT_EQ(r.records, c.records);
        const std::string csv = Slurp(r.output);
        EXPECT_EQ(Lines(csv), c.records + 1);
        EXPECT_EQ(csv.find_first_not_of("0123456789.,-+E\r\n", csv.find("\r\n")),
                  std::string::npos);
    }
}

TEST_F(LogFaultTest, MissingLogIsReportedAndNothingIsCreated) {
    const CsvExportResult r = ExportLogToCsv(dir_ / "gone.qm1", LiveConfig{}, Tables());
    EXPECT_EQ(r.kind, CsvExportResult::Kind::Error);
    EXPECT_NE(r.error.find("gone.qm1"), std::string::npos) << r.error;
    EXPECT_TRUE(fs::is_empty(dir_));
}

}  // namespace
}  // namespace quelm
