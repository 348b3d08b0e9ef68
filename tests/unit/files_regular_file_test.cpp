#include "files/regular_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>

#include "files/com_port_map_file.h"
#include "files/csv_export.h"
#include "files/dash_layout_file.h"
#include "files/log_marks.h"
#include "files/log_reader.h"
#include "files/log_writer.h"
#include "files/maf_table.h"
#include "files_test_support.h"
#include "sim/frame_source.h"

namespace quelm {
namespace {

namespace fs = std::filesystem;
using testing::LogBytes;
using testing::Names;
using testing::Put;
using testing::Slurp;

// Hostile names against every reader and writer of files the user names: a FIFO (opening it
// waits for a writer), a device that never ends, a file far too large, a line too long, a
// read-only output and a name as long as names may be. Nothing waits or crashes, nothing is
// created or changed, and the outcome says what is wrong. Each entry point is the core function
// its windows and commands call.
TEST(HostileNames, AreRefusedWithoutWaitingOrChangingAnything) {
    testing::ScratchDir dir_;
    const fs::path fifo = dir_ / "fifo.qm1";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    ASSERT_EQ(::mkfifo((dir_ / "piped.csv").c_str(), 0644), 0);
    Put(dir_ / "piped.qm1", LogBytes(3));
    const fs::path huge = dir_ / "huge.maf";  // sparse: no disk space, no line break
    Put(huge, "");
    fs::resize_file(huge, sim::kReplayLimitBytes + 1);
    const fs::path longLine = dir_ / "line.maf";
    Put(longLine, "Volts , Kg/HR\r\n1," + std::string(kMafLineLimit, '9') + "\r\n");
    Put(dir_ / "run.qm1", LogBytes(3));
    const fs::path readOnly = dir_ / "run.csv";
    Put(readOnly, "earlier\r\n");
    ::chmod(readOnly.c_str(), 0444);
    const std::string longName(251, 'n');  // with ".qm1", 255 characters: the longest allowed
    Put(dir_ / (longName + ".qm1"), LogBytes(3));
    auto before = Names(dir_.path());

    using Run = std::function<std::string(const fs::path&)>;
    const Run maf = [](const fs::path& p) {
        const MafLoadResult r = LoadMafTable(p, {});
        return (r.messages.empty() ? "" : r.messages[0]) + (r.usedFallback ? " +stock" : "");
    };
    const Run reader = [](const fs::path& p) { return LogReader(p).Error(); };
    const Run exportCsv = [](const fs::path& p) {
        const CsvExportResult r = ExportLogToCsv(p, LiveConfig{}, BuiltInTables());
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
    const Run layout = [](const fs::path& p) {
        std::vector<std::string> problems;
        LoadDashLayout(p, problems);
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
        {"simulator replay", replay, dir_ / "absent.qm1", "No such file or directory"},
        {"simulator replay", replay, dir_.path(), "Is a directory"},
        {"simulator replay", replay, "/dev/zero", notRegular},
        {"simulator replay", replay, huge, "larger than 128 MiB"},
        {"ports.conf", ports, fifo, notRegular},
        {"ports.conf", ports, huge, "larger than 65536 bytes"},
        {"layout.conf", layout, fifo, notRegular},
        {"layout.conf", layout, huge, "larger than 65536 bytes"},
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

}  // namespace
}  // namespace quelm
