// Files under hostile conditions: a full disk (also one that fills mid-recording), a read-only
// folder, oversized, truncated and garbage contents. Each case must report clearly, keep every
// record written before the fault, and never let a partial output replace a good file.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>
#include <sstream>

#include "files/com_port_map_file.h"
#include "files/csv_export.h"
#include "files/log_marks.h"
#include "files/log_reader.h"
#include "files/log_writer.h"
#include "files/maf_table.h"
#include "files/settings_file.h"
#include "files_test_support.h"
#include "scratch_mount.h"
#include "sim/frame_source.h"

namespace quelm {
namespace {

namespace fs = std::filesystem;
using testing::Names;
using testing::Put;
using testing::Slurp;

std::string Curve(int points, double flowStep) {
    std::ostringstream out;
    out << "Volts , Kg/HR\r\n";
    for (int i = 0; i < points; ++i) {
        out << i / 6.0 << ',' << i * flowStep << "\r\n";
    }
    return out.str();
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

class FilesFaultTest : public ::testing::Test {
  protected:
    // A folder that is already full, holding the given files written before it filled up.
    fs::path FullFolder(std::initializer_list<std::pair<const char*, std::string>> files) {
        std::string why;
        mount_ = test::ScratchMount::Tmpfs(dir_ / "disk", 64 * 1024, why);
        if (!mount_) {
            return {};
        }
        for (const auto& [name, text] : files) {
            Put(mount_->path() / name, text);
        }
        mount_->Fill();
        return mount_->path();
    }

    // A read-only view of a folder holding the given files.
    fs::path ReadOnlyFolder(std::initializer_list<std::pair<const char*, std::string>> files) {
        fs::create_directories(dir_ / "source");
        for (const auto& [name, text] : files) {
            Put(dir_ / "source" / name, text);
        }
        std::string why;
        mount_ = test::ScratchMount::ReadOnlyView(dir_ / "source", dir_ / "view", why);
        return mount_ ? mount_->path() : fs::path();
    }

    testing::ScratchDir dir_;
    std::unique_ptr<test::ScratchMount> mount_;  // unmounted before the folder goes
};

constexpr const char* kIni = "[SERIAL]\r\nCOMPORT= 1\r\n[VEHICLE]\r\nNUMCYL=8\r\n";

TEST_F(FilesFaultTest, SettingsWriteOntoAFullDiskFailsAndKeepsTheFile) {
    const fs::path disk = FullFolder({{"Quelm.ini", kIni}});
    if (disk.empty()) {
        GTEST_SKIP() << "no privilege to mount a small tmpfs";
    }
    const auto before = Names(disk);
    SettingsFile ini(disk / "Quelm.ini");
    // A value long enough that it cannot fit in what is left of the last block.
    EXPECT_FALSE(ini.Write("VEHICLE", "NOTES", std::string(8000, 'n')));
    EXPECT_NE(ini.LastError().find("No space left on device"), std::string::npos)
        << ini.LastError();
    EXPECT_EQ(Slurp(disk / "Quelm.ini"), kIni);
    EXPECT_EQ(ini.Read("SERIAL", "COMPORT"), "1");
    EXPECT_EQ(Names(disk), before) << "a temporary file was left behind";
}

TEST_F(FilesFaultTest, SettingsWriteIntoAReadOnlyFolderFailsAndKeepsTheFile) {
    const fs::path folder = ReadOnlyFolder({{"Quelm.ini", kIni}});
    if (folder.empty()) {
        GTEST_SKIP() << "no privilege to mount a read-only view";
    }
    SettingsFile ini(folder / "Quelm.ini");
    EXPECT_FALSE(ini.Write("SERIAL", "COMPORT", " 2"));
    EXPECT_NE(ini.LastError().find("Read-only file system"), std::string::npos) << ini.LastError();
    EXPECT_EQ(Slurp(folder / "Quelm.ini"), kIni);
    EXPECT_EQ(ini.Read("SERIAL", "COMPORT"), "1");
}

// A curve saved over an existing one on a full disk: the old curve must survive intact.
TEST_F(FilesFaultTest, MafSaveOntoAFullDiskFailsAndKeepsTheOldCurve) {
    const std::string old = Curve(31, 40);
    const fs::path disk = FullFolder({{"mine.maf", old}});
    if (disk.empty()) {
        GTEST_SKIP() << "no privilege to mount a small tmpfs";
    }
    std::array<std::string, kMafPoints> volts, kghr;
    for (std::size_t i = 0; i < kMafPoints; ++i) {
        volts[i] = std::to_string(i / 6.0);
        kghr[i] = std::string(300, '9');  // a curve larger than the old one
    }
    const auto error = SaveMafFile(disk / "mine.maf", volts, kghr);
    ASSERT_TRUE(error);
    EXPECT_NE(error->find("No space left on device"), std::string::npos) << *error;
    EXPECT_EQ(Slurp(disk / "mine.maf"), old);
    EXPECT_TRUE(LoadMafTable(disk / "mine.maf", {}).complete);
}

TEST_F(FilesFaultTest, MafSaveIntoAReadOnlyFolderFailsAndKeepsTheOldCurve) {
    const std::string old = Curve(31, 40);
    const fs::path folder = ReadOnlyFolder({{"mine.maf", old}});
    if (folder.empty()) {
        GTEST_SKIP() << "no privilege to mount a read-only view";
    }
    const auto error = SaveMafFile(folder / "mine.maf", {}, {});
    ASSERT_TRUE(error);
    EXPECT_NE(error->find("Read-only file system"), std::string::npos) << *error;
    EXPECT_EQ(Slurp(folder / "mine.maf"), old);
}

// Ten megabytes of 100,000-character lines with binary bytes, a real entry buried in them:
// refused as a whole (a settings file is never that large), the file left exactly as it was.
TEST_F(FilesFaultTest, TenMegabyteSettingsFileIsRefusedWithoutDamage) {
    std::mt19937 rng(99);
    std::string content;
    content.reserve(10 << 20);
    content += "[SERIAL]\nCOMPORT= 3\n";
    while (content.size() < (10u << 20)) {
        std::string line(100000, '\0');
        for (auto& c : line) {
            c = static_cast<char>(rng());
            if (c == '\n') {
                c = '=';
            }
        }
        content += line;
        content += '\n';
    }
    const fs::path path = dir_ / "Quelm.ini";
    Put(path, content);
    SettingsFile ini(path);
    EXPECT_EQ(ini.Read("SERIAL", "COMPORT"), "");
    EXPECT_FALSE(ini.Write("SERIAL", "COMPORT", " 4"));
    EXPECT_NE(ini.LastError().find("too large"), std::string::npos) << ini.LastError();
    EXPECT_EQ(fs::file_size(path), content.size());
    EXPECT_TRUE(Slurp(path) == content);
}

// Just under the size limit, long binary lines around the entries: entries still found, and a
// write keeps every other byte.
TEST_F(FilesFaultTest, LongBinaryLinesAroundEntriesAreKeptByteForByte) {
    std::mt19937 rng(5);
    auto noise = [&rng](std::size_t n) {
        std::string s(n, '\0');
        for (auto& c : s) {
            c = static_cast<char>(rng() % 256);
            if (c == '\n' || c == '\r' || c == '[') {
                c = '\x7f';
            }
        }
        return s;
    };
    const std::string head = noise(100000) + "\n[SERIAL]\n" + noise(100000) + "\nCOMPORT= 3\n";
    const std::string tail = noise(100000) + "\n[VEHICLE]\nNUMCYL=6\n" + noise(3000000);
    const fs::path path = dir_ / "Quelm.ini";
    Put(path, head + tail);
    SettingsFile ini(path);
    EXPECT_EQ(ini.Read("SERIAL", "COMPORT"), "3");
    EXPECT_EQ(ini.Read("VEHICLE", "NUMCYL"), "6");
    ASSERT_TRUE(ini.Write("SERIAL", "COMPORT", " 4")) << ini.LastError();
    const std::string after = Slurp(path);
    const std::string want = head.substr(0, head.size() - 11) + "COMPORT= 4\n" + tail;
    EXPECT_TRUE(after == want);
}

TEST_F(FilesFaultTest, MafFilesWithGarbageLoadAsFiniteNumbersOrReportTheFault) {
    struct Case {
        const char* name;
        std::string text;
        bool complete;
        std::size_t firstUntouched;  // rows from here on keep their earlier values
    };
    std::string garbage = "Volts , Kg/HR\r\n";
    for (int i = 0; i < 31; ++i) {
        garbage += i % 3 == 0 ? "abc,def\r\n" : i % 3 == 1 ? "1.2.3,--5\r\n" : "\xff\xfe,9e999\r\n";
    }
    std::string noCommaMidway = Curve(31, 40);
    noCommaMidway.replace(noCommaMidway.find("2.5,"), 4, "2.5 ");
    std::string tenThousand = Curve(31, 40);
    for (int i = 0; i < 10000; ++i) {
        tenThousand += "9,99999\r\n";
    }
    const Case cases[] = {
        {"garbage numbers", garbage, true, kMafPoints},
        {"missing comma midway", noCommaMidway, false, 15},
        {"no commas at all", "Volts  Kg/HR\n1 2\n3 4\n", false, 0},
        {"ten thousand lines", tenThousand, true, kMafPoints},
        {"binary", std::string("\0\x01\x02\r\n\0,\0\r\n", 10), false, 1},
        {"header only", "Volts , Kg/HR", false, 0},
    };
    MafCurve earlier;
    for (std::size_t i = 0; i < kMafPoints; ++i) {
        earlier.volts[i] = "earlier";
        earlier.points[i] = {-7, -7};
    }
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Put(dir_ / "curve.maf", c.text);
        const MafLoadResult r = LoadMafTable(dir_ / "curve.maf", earlier);
        EXPECT_EQ(r.complete, c.complete);
        EXPECT_FALSE(r.usedFallback);
        EXPECT_EQ(r.messages.empty(), c.complete);
        for (std::size_t i = 0; i < kMafPoints; ++i) {
            EXPECT_TRUE(std::isfinite(r.curve.points[i].x) && std::isfinite(r.curve.points[i].y));
            EXPECT_EQ(r.curve.volts[i] == "earlier", i >= c.firstUntouched) << "row " << i;
        }
    }
    // The ten-thousand-line file kept only its 31 points.
    Put(dir_ / "curve.maf", tenThousand);
    const MafLoadResult r = LoadMafTable(dir_ / "curve.maf", {});
    EXPECT_EQ(r.curve.largestFlow, 1200);
    EXPECT_EQ(r.curve.points[30].y, 1200);
}

TEST_F(FilesFaultTest, DiskFillingMidRecordingStopsWithTheReasonAndKeepsEveryRecord) {
    std::string why;
    mount_ = test::ScratchMount::Tmpfs(dir_ / "disk", 64 * 1024, why);
    if (!mount_) {
        GTEST_SKIP() << why;
    }
    const fs::path disk = mount_->path();
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

TEST_F(FilesFaultTest, RecordingIntoAReadOnlyFolderIsRefusedAtTheStart) {
    const fs::path folder = ReadOnlyFolder({});
    if (folder.empty()) {
        GTEST_SKIP() << "no privilege to mount a read-only view";
    }
    LogRecorder recorder;
    const auto error = recorder.StartRecording(folder / "run.qm1", 0);
    ASSERT_TRUE(error);
    EXPECT_NE(error->find("Read-only file system"), std::string::npos) << *error;
    EXPECT_NE(error->find("run.qm1"), std::string::npos) << *error;
    EXPECT_FALSE(recorder.Recording());
    EXPECT_TRUE(fs::is_empty(dir_ / "source"));
}

TEST_F(FilesFaultTest, ExportOntoAFullDiskFailsAndKeepsTheEarlierCsv) {
    const fs::path disk = FullFolder({{"run.qm1", LogOf(400)}, {"run.csv", "earlier export\r\n"}});
    if (disk.empty()) {
        GTEST_SKIP() << "no privilege to mount a small tmpfs";
    }
    const auto before = Names(disk);
    const CsvExportResult r = ExportLogToCsv(disk / "run.qm1", LiveConfig{}, Tables());
    EXPECT_EQ(r.kind, CsvExportResult::Kind::Error);
    EXPECT_NE(r.error.find("No space left on device"), std::string::npos) << r.error;
    EXPECT_EQ(Slurp(disk / "run.csv"), "earlier export\r\n");
    EXPECT_EQ(Names(disk), before) << "a partial output was left behind";
}

TEST_F(FilesFaultTest, ExportBesideALogInAReadOnlyFolderSaysWhy) {
    const fs::path folder = ReadOnlyFolder({{"run.qm1", LogOf(3)}});
    if (folder.empty()) {
        GTEST_SKIP() << "no privilege to mount a read-only view";
    }
    const CsvExportResult r = ExportLogToCsv(folder / "run.qm1", LiveConfig{}, Tables());
    EXPECT_EQ(r.kind, CsvExportResult::Kind::Error);
    EXPECT_NE(r.error.find("Read-only file system"), std::string::npos) << r.error;
    EXPECT_FALSE(fs::exists(dir_ / "source" / "run.csv"));
}

// A log cut off mid-record (the program was killed, the disk filled) and a file of pure
// garbage: every whole record is read and exported, the partial tail ignored, every value a
// finite number.
TEST_F(FilesFaultTest, TruncatedAndGarbageLogsExportEveryWholeRecord) {
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
        Put(dir_ / "run.qm1", c.bytes);
        LogReader reader(dir_ / "run.qm1");
        ASSERT_TRUE(reader.IsOpen()) << reader.Error();
        EXPECT_EQ(reader.RecordCount(), c.records);
        FrameBuffer b{};
        EXPECT_FALSE(reader.ReadRecord(c.records + 1, b));

        const CsvExportResult r = ExportLogToCsv(dir_ / "run.qm1", LiveConfig{}, Tables());
        ASSERT_EQ(r.kind, CsvExportResult::Kind::Done) << r.error;
        EXPECT_EQ(r.records, c.records);
        const std::string csv = Slurp(r.output);
        EXPECT_EQ(static_cast<std::uint64_t>(std::count(csv.begin(), csv.end(), '\n')),
                  c.records + 1);
        EXPECT_EQ(csv.find_first_not_of("0123456789.,-+E\r\n", csv.find("\r\n")),
                  std::string::npos);
    }
}

TEST_F(FilesFaultTest, MissingLogIsReportedAndNothingIsCreated) {
    const CsvExportResult r = ExportLogToCsv(dir_ / "gone.qm1", LiveConfig{}, Tables());
    EXPECT_EQ(r.kind, CsvExportResult::Kind::Error);
    EXPECT_NE(r.error.find("gone.qm1"), std::string::npos) << r.error;
    EXPECT_TRUE(fs::is_empty(dir_.path()));
}

// Hostile names against every reader and writer of files the user names: a FIFO (opening it
// waits for a writer), a device that never ends, a file far too large, a line too long, a
// read-only output and a name as long as names may be. Nothing waits or crashes, nothing is
// created or changed, and the outcome says what is wrong. Each entry point is the core function
// its windows and commands call.
TEST_F(FilesFaultTest, HostileNamesAreRefusedWithoutWaitingOrChangingAnything) {
    const fs::path fifo = dir_ / "fifo.qm1";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    ASSERT_EQ(::mkfifo((dir_ / "piped.csv").c_str(), 0644), 0);
    Put(dir_ / "piped.qm1", LogOf(3));
    const fs::path huge = dir_ / "huge.maf";  // sparse: no disk space, no line break
    Put(huge, "");
    fs::resize_file(huge, sim::kReplayLimitBytes + 1);
    const fs::path longLine = dir_ / "line.maf";
    Put(longLine, "Volts , Kg/HR\r\n1," + std::string(kMafLineLimit, '9') + "\r\n");
    Put(dir_ / "run.qm1", LogOf(3));
    const fs::path readOnly = dir_ / "run.csv";
    Put(readOnly, "earlier\r\n");
    ::chmod(readOnly.c_str(), 0444);
    const std::string longName(251, 'n');  // with ".qm1", 255 characters: the longest allowed
    Put(dir_ / (longName + ".qm1"), LogOf(3));
    auto before = Names(dir_.path());

    using Run = std::function<std::string(const fs::path&)>;
    const Run maf = [](const fs::path& p) {
        const MafLoadResult r = LoadMafTable(p, {});
        return (r.messages.empty() ? "" : r.messages[0]) + (r.usedFallback ? " +stock" : "");
    };
    const Run reader = [](const fs::path& p) { return LogReader(p).Error(); };
    const Run exportCsv = [](const fs::path& p) {
        const CsvExportResult r = ExportLogToCsv(p, LiveConfig{}, Tables());
        return r.kind == CsvExportResult::Kind::Done ? "done " + r.output.filename().string()
                                                     : r.error;
    };
    const Run record = [](const fs::path& p) {
        LogRecorder recorder;
        return recorder.StartRecording(p, 0).value_or("recording");
    };
    const Run marks = [](const fs::path& p) { return ReadLogMarks(p).error; };
    const Run mark = [](const fs::path& p) {
        return AppendLogMark(p, {1, "m"}).value_or("appended");
    };
    const Run replay = [](const fs::path& p) {
        const auto r = sim::ReadLogFrames(p);
        return std::holds_alternative<std::string>(r) ? std::get<std::string>(r) : "read";
    };
    const Run ports = [](const fs::path& p) {
        ComPortMap map;
        std::vector<std::string> problems;
        LoadComPortMap(p, map, problems);
        return problems.size() == 1 ? problems[0] : std::to_string(problems.size()) + " problems";
    };
    struct Row {
        const char* entry;
        Run run;
        fs::path input;
        std::string expect;  // found in the outcome
    };
    const std::string notRegular = "it is not a regular file";
    const Row rows[] = {
        {"MAF load (start-up, editor, quelm export)", maf, fifo,
         kMafNotFoundMessage + std::string(" +stock")},
        {"MAF load", maf, "/dev/zero", kMafNotFoundMessage + std::string(" +stock")},
        {"MAF load", maf, huge, kMafNotInstalledMessage},
        {"MAF load", maf, longLine, kMafNotInstalledMessage},
        {"log reader (playback, export)", reader, fifo, notRegular},
        {"log reader", reader, "/dev/zero", notRegular},
        {"CSV export", exportCsv, dir_ / "run.qm1",
         "\"" + readOnly.string() + "\": it is read-only"},
        {"CSV export", exportCsv, dir_ / "piped.qm1", notRegular},
        {"CSV export", exportCsv, dir_ / (longName + ".qm1"), "done " + longName + ".csv"},
        {"recorder output", record, fifo, notRegular},
        {"recorder output", record, "/dev/full", notRegular},
        {"recorder output", record, readOnly, "it is read-only"},
        {"markers reader (viewer, slider, quelm export)", marks, fifo, notRegular},
        {"markers reader", marks, "/dev/zero", notRegular},
        {"marker append (recording)", mark, fifo, notRegular},
        {"simulator replay", replay, dir_.path(), "Is a directory"},
        {"simulator replay", replay, "/dev/zero", notRegular},
        {"simulator replay", replay, huge, "larger than 128 MiB"},
        {"ports.conf", ports, fifo, notRegular},
        {"ports.conf", ports, huge, "larger than 65536 bytes"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.entry) + " on " + row.input.string());
        const std::string outcome = row.run(row.input);
        EXPECT_NE(outcome.find(row.expect), std::string::npos) << outcome;
    }
    before.insert(longName + ".csv");
    EXPECT_EQ(Names(dir_.path()), before) << "something was created or a temporary file left";
    EXPECT_EQ(Slurp(readOnly), "earlier\r\n");
    EXPECT_EQ(fs::status(readOnly).permissions(), fs::perms(0444));
    EXPECT_TRUE(fs::is_fifo(fifo));
}

// A garbage ports.conf just under the size limit: a handful of its bad lines are described,
// the rest counted, and the good line in it still applies.
TEST_F(FilesFaultTest, GarbagePortsFileGivesAFewProblemsNotThousands) {
    std::string text;
    for (int i = 0; text.size() < kComPortMapFileLimit - 100; ++i) {
        text += "rubbish " + std::to_string(i) + "\n";
    }
    text += "COM2=/dev/ttyUSB7\n";
    Put(dir_ / "ports.conf", text);
    ComPortMap map;
    std::vector<std::string> problems;
    LoadComPortMap(dir_ / "ports.conf", map, problems);
    EXPECT_EQ(map.DevicePath(2), "/dev/ttyUSB7");
    ASSERT_EQ(problems.size(), kComPortMapProblemLimit + 1);
    EXPECT_NE(problems.back().find(" more lines"), std::string::npos) << problems.back();
}

}  // namespace
}  // namespace quelm
