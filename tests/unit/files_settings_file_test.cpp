#include "files/settings_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "decode/calibration_tables.h"
#include "files/com_port_map_file.h"
#include "files/csv_export.h"
#include "files/maf_table.h"
#include "files_test_support.h"
#include "scratch_mount.h"

namespace quelm {
namespace {

namespace fs = std::filesystem;

class SettingsFileTest : public ::testing::Test {
  protected:
    void Put(const std::string& content) const { testing::Put(path_, content); }
    std::string Content() const { return testing::Slurp(path_); }

    testing::ScratchDir dir_;
    fs::path path_ = dir_ / "Quelm.ini";
};

// Names match without regard to case or the blanks around them, blanks around the value are
// dropped, and the first matching section and key win.
TEST_F(SettingsFileTest, ReadsTheFirstMatchingEntry) {
    Put("[INJECTION]\r\nINJSIZE= 19\r\n[WIDEBAND]\r\nTYPE=DIY\r\n  [ MAP ]  \n  TYPE  =  2  \n"
        "\tLABEL\t=\tsome words here\t\n[AUX]\nTYPE=\n[IGNITION]\nDIS=NO\nDIS=YES\n"
        "[ignition]\nDIS=MAYBE\nEXTRA=1\n");
    SettingsFile ini(path_);
    const std::tuple<const char*, const char*, const char*> rows[] = {
        {"injection", "InjSize", "19"},      {"WideBand", "type", "DIY"}, {"INJECTION", "TYPE", ""},
        {"INJECTIO", "INJSIZE", ""},         {"INJECTION", "INJSIZ", ""}, {"MAP", "TYPE", "2"},
        {"MAP", "LABEL", "some words here"}, {"AUX", "TYPE", ""},         {"IGNITION", "DIS", "NO"},
        {"IGNITION", "EXTRA", ""},
    };
    for (const auto& [section, key, value] : rows) {
        EXPECT_EQ(ini.Read(section, key), value) << section << "/" << key;
    }
}

TEST_F(SettingsFileTest, LongValuesReadBackCutTo254Characters) {
    const std::string value(300, 'v');
    SettingsFile ini(path_);
    ASSERT_TRUE(ini.Write("LOGGING", "FILE", value));
    EXPECT_EQ(ini.Read("LOGGING", "FILE"), value.substr(0, 254));
    EXPECT_NE(Content().find(value), std::string::npos) << "the file keeps the whole value";
}

// A file as found (none, or as another editor wrote it), a value read from it, the writes, and
// the file they leave: other lines keep their bytes, new keys go to the end of their section,
// new sections to the end of the file, all with the file's own line ends; and every value
// written reads back.
TEST_F(SettingsFileTest, WritesKeepTheFilesShapeAndReadBack) {
    struct Entry {
        const char* section;
        const char* key;
        const char* value;
    };
    const struct {
        std::optional<std::string> before;
        Entry read;
        std::vector<Entry> writes;
        std::string after;
    } rows[] = {
        {std::nullopt,
         {"SERIAL", "COMPORT", ""},
         {{"SERIAL", "COMPORT", " 3"}},
         "[SERIAL]\nCOMPORT= 3\n"},
        {"[SERIAL]\r\nCOMPORT= 1\r\n; note\r\n\r\n[LOGGING]\r\nFILE=a.qm1\r\n",
         {"LOGGING", "FILE", "a.qm1"},
         {{"serial", "MAXBAUDRATE", "115200"}},
         "[SERIAL]\r\nCOMPORT= 1\r\n; note\r\nMAXBAUDRATE=115200\r\n"
         "\r\n[LOGGING]\r\nFILE=a.qm1\r\n"},
        {"[SERIAL]\r\nCOMPORT= 1",
         {"serial", "comport", "1"},
         {{"SENSORS", "BAPPRESENT", "YES"}, {"SERIAL", "MAXBAUDRATE", "19200"}},
         "[SERIAL]\r\nCOMPORT= 1\r\nMAXBAUDRATE=19200\r\n[SENSORS]\r\nBAPPRESENT=YES\r\n"},
        {"[MAP]\nTYPE=1",
         {"MAP", "TYPE", "1"},
         {{"MAP", "TYPE", "3"}, {"MAP", "ZERO", "0"}},
         "[MAP]\nTYPE=3\nZERO=0\n"},
        {"\xEF\xBB\xBF[SERIAL]\r\nCOMPORT= 1\r\n",
         {"SERIAL", "COMPORT", "1"},
         {{"SERIAL", "COMPORT", " 2"}, {"SERIAL", "MAXBAUDRATE", "57600"}},
         "\xEF\xBB\xBF[SERIAL]\r\nCOMPORT= 2\r\nMAXBAUDRATE=57600\r\n"},
        {"[SERIAL]\rCOMPORT= 1\r[MAP]\rTYPE=2\r",
         {"MAP", "TYPE", "2"},
         {{"SERIAL", "MAXBAUDRATE", "38400"}, {"AUX", "TYPE", "NONE"}},
         "[SERIAL]\rCOMPORT= 1\rMAXBAUDRATE=38400\r[MAP]\rTYPE=2\r[AUX]\rTYPE=NONE\r"},
        {"; by hand\r\nstray line\n[SERIAL]\r\nMaxBaudRate = 9600\r\n\r\n[vsscorrection]\n"
         "value= 1.05\n  no equals\n[OTHER]\r\nweird=  spaced  \r\n",
         {"serial", "maxbaudrate", "9600"},
         {{"SERIAL", "MAXBAUDRATE", "57600"}, {"VSSCORRECTION", "VALUE", " 1.1"}},
         "; by hand\r\nstray line\n[SERIAL]\r\nMAXBAUDRATE=57600\r\n\r\n[vsscorrection]\n"
         "VALUE= 1.1\n  no equals\n[OTHER]\r\nweird=  spaced  \r\n"},
        {"[IGNITION]\nDIS=NO\nDIS=YES\n[ignition]\nDIS=MAYBE\n",
         {"IGNITION", "DIS", "NO"},
         {{"IGNITION", "DIS", "YES"}},
         "[IGNITION]\nDIS=YES\nDIS=YES\n[ignition]\nDIS=MAYBE\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.after);
        fs::remove(path_);
        if (row.before) {
            Put(*row.before);
        }
        SettingsFile ini(path_);
        EXPECT_EQ(ini.Read(row.read.section, row.read.key), row.read.value);
        for (const Entry& w : row.writes) {
            ASSERT_TRUE(ini.Write(w.section, w.key, w.value)) << ini.LastError();
        }
        EXPECT_EQ(Content(), row.after);
        for (const Entry& w : row.writes) {
            const std::string_view v = w.value;  // read back without its leading blank
            EXPECT_EQ(ini.Read(w.section, w.key), v.starts_with(' ') ? v.substr(1) : v);
        }
        EXPECT_EQ(testing::Names(dir_.path()), std::set<std::string>{"Quelm.ini"})
            << "no temporary file left behind";
    }
}

TEST_F(SettingsFileTest, ParentFolderIsCreatedOnDemand) {
    SettingsFile ini(dir_ / "config" / "quelm" / "Quelm.ini");
    ASSERT_TRUE(ini.Write("AUX", "TYPE", "NONE")) << ini.LastError();
    EXPECT_EQ(ini.Read("AUX", "TYPE"), "NONE");
}

TEST_F(SettingsFileTest, UnwritableLocationFailsAndLeavesTheFile) {
    // A parent that is a plain file cannot be written into, even by a privileged user.
    std::ofstream(dir_ / "blocker") << "x";
    SettingsFile blocked(dir_ / "blocker" / "Quelm.ini");
    EXPECT_FALSE(blocked.Write("SERIAL", "COMPORT", " 2"));
    EXPECT_FALSE(blocked.LastError().empty());
    EXPECT_EQ(testing::Slurp(dir_ / "blocker"), "x");

    // A folder in place of the file cannot be replaced.
    fs::create_directory(dir_ / "Folder.ini");
    SettingsFile folder(dir_ / "Folder.ini");
    EXPECT_FALSE(folder.Write("SERIAL", "COMPORT", " 2"));
    EXPECT_TRUE(fs::is_directory(dir_ / "Folder.ini"));
    EXPECT_EQ(folder.Read("SERIAL", "COMPORT"), "");
}

TEST_F(SettingsFileTest, EntriesThatWouldNotReadBackAreRefused) {
    Put("[SERIAL]\nCOMPORT= 1\n");
    SettingsFile ini(path_);
    EXPECT_FALSE(ini.Write("SERIAL", "COMPORT", " 2\n[EVIL]\nX=1"));
    EXPECT_FALSE(ini.Write("SERIAL", "COM=PORT", "1"));
    EXPECT_FALSE(ini.Write("SER]IAL", "COMPORT", "1"));
    EXPECT_FALSE(ini.Write("", "COMPORT", "1"));
    EXPECT_FALSE(ini.Write("SERIAL", " ", "1"));
    EXPECT_FALSE(ini.Write("SERIAL", ";COMPORT", "1"));
    EXPECT_FALSE(ini.LastError().empty());
    EXPECT_EQ(Content(), "[SERIAL]\nCOMPORT= 1\n");
}

TEST_F(SettingsFileTest, ReplacedFileKeepsItsPermissions) {
    Put("[SERIAL]\nCOMPORT= 1\n");
    fs::permissions(path_, fs::perms::owner_read | fs::perms::owner_write);
    SettingsFile ini(path_);
    ASSERT_TRUE(ini.Write("SERIAL", "COMPORT", " 4"));
    EXPECT_EQ(fs::status(path_).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(SettingsFileTest, SymbolicLinkIsFollowed) {
    const fs::path real = dir_ / "real.ini";
    std::ofstream(real) << "[SERIAL]\nCOMPORT= 1\n";
    fs::create_symlink(real, path_);
    SettingsFile ini(path_);
    ASSERT_TRUE(ini.Write("SERIAL", "COMPORT", " 2"));
    EXPECT_TRUE(fs::is_symlink(path_));
    EXPECT_EQ(testing::Slurp(real), "[SERIAL]\nCOMPORT= 2\n");
}

// Binary bytes and lines of 100,000 characters around the entries, the file just under the size
// limit: the entries are found and a write keeps every other byte. Past the limit the file is
// refused as a whole and left as it was.
TEST_F(SettingsFileTest, LongBinaryLinesAreKeptAndHugeFilesRefused) {
    // High bytes without a line end (any bytes at all are the fuzz target's work).
    const auto noise = [](std::size_t n) { return std::string(n, '\x80'); };
    const std::string head = noise(100000) + "\n[SERIAL]\n" + noise(100000) + "\nCOMPORT= 3\n";
    const std::string tail = noise(100000) + "\n[VEHICLE]\nNUMCYL=6\n" + noise(3000000);
    Put(head + tail);
    SettingsFile ini(path_);
    EXPECT_EQ(ini.Read("SERIAL", "COMPORT"), "3");
    EXPECT_EQ(ini.Read("VEHICLE", "NUMCYL"), "6");
    ASSERT_TRUE(ini.Write("SERIAL", "COMPORT", " 4")) << ini.LastError();
    EXPECT_TRUE(Content() == head.substr(0, head.size() - 11) + "COMPORT= 4\n" + tail);

    const std::string huge = "[SERIAL]\nCOMPORT= 3\n" + std::string(10 << 20, 'x');
    Put(huge);
    EXPECT_EQ(ini.Read("SERIAL", "COMPORT"), "");
    EXPECT_FALSE(ini.Write("SERIAL", "COMPORT", " 4"));
    EXPECT_NE(ini.LastError().find("too large"), std::string::npos) << ini.LastError();
    EXPECT_TRUE(Content() == huge);
}

// The settings file, MAF curves, ports.conf and a log's CSV export are replaced whole: a write onto
// a full disk or into a read-only folder fails with the system's reason, the old file stays as it
// was and no temporary file is left beside it.
TEST(ReplacedFiles, AWriteThatCannotLandKeepsTheOldFile) {
    using Write = std::function<std::string(const fs::path&)>;  // the error, "" on success
    const Write settings = [](const fs::path& p) {
        SettingsFile ini(p);
        // A value too long for what is left of the last block.
        if (ini.Write("VEHICLE", "NOTES", std::string(8000, 'n'))) {
            return std::string();
        }
        return ini.Read("SERIAL", "COMPORT") == "1" ? ini.LastError() : "the new value reads back";
    };
    const Write maf = [](const fs::path& p) {
        std::array<std::string, kMafPoints> volts, kghr;
        kghr.fill(std::string(300, '9'));
        return SaveMafFile(p, volts, kghr).value_or("");
    };
    const Write ports = [](const fs::path& p) {
        ComPortMap map;
        map.SetOverride(1, "/dev/" + std::string(9000, 'p'));
        std::string error;
        return SaveComPortMap(p, map, error) ? std::string() : error;
    };
    const Write csv = [](const fs::path& p) {
        const CsvExportResult r =
            ExportLogToCsv(fs::path(p).replace_extension(".qm1"), LiveConfig{}, BuiltInTables());
        return r.kind == CsvExportResult::Kind::Done ? std::string() : r.error;
    };
    const std::string old = "[SERIAL]\r\nCOMPORT= 1\r\n";
    const std::string log = testing::LogBytes(400);
    for (const auto& [name, write] : {std::pair{"settings", settings},
                                      {"MAF curve", maf},
                                      {"ports.conf", ports},
                                      {"CSV export", csv}}) {
        SCOPED_TRACE(name);
        testing::ScratchDir dir;
        std::string why;
        if (const auto disk = test::ScratchMount::FullDisk(
                dir / "disk", {{"old.csv", old}, {"old.qm1", log}}, why)) {
            const auto before = testing::Names(disk->path());
            const std::string error = write(disk->path() / "old.csv");
            EXPECT_NE(error.find("No space left on device"), std::string::npos) << error;
            EXPECT_EQ(testing::Slurp(disk->path() / "old.csv"), old);
            EXPECT_EQ(testing::Names(disk->path()), before) << "a temporary file was left";
        }
        fs::create_directory(dir / "source");
        testing::Put(dir / "source" / "old.csv", old);
        testing::Put(dir / "source" / "old.qm1", log);
        // A read-only mount binds a privileged user; folder permissions bind the others.
        const auto view = test::ScratchMount::ReadOnlyView(dir / "source", dir / "view", why);
        if (!view && ::geteuid() == 0) {
            GTEST_SKIP() << why;
        }
        fs::permissions(dir / "source", fs::perms::owner_read | fs::perms::owner_exec);
        const std::string error = write((view ? dir / "view" : dir / "source") / "old.csv");
        fs::permissions(dir / "source", fs::perms::owner_all);
        EXPECT_NE(error.find(view ? "Read-only file system" : "Permission denied"),
                  std::string::npos)
            << error;
        EXPECT_EQ(testing::Slurp(dir / "source" / "old.csv"), old);
        EXPECT_EQ(testing::Names(dir / "source"), (std::set<std::string>{"old.csv", "old.qm1"}));
    }
}

// The side file for other tools: the port in print form, in the current folder.
TEST_F(SettingsFileTest, ComPortFileHoldsThePortInPrintFormInTheCurrentFolder) {
    const fs::path previous = fs::current_path();
    fs::current_path(dir_.path());
    std::ofstream(dir_ / "quelmom.ini") << "older and longer content\r\n";
    EXPECT_TRUE(WriteComPortFile(0));
    EXPECT_EQ(testing::Slurp(dir_ / "quelmom.ini"), " 0 \r\n");
    EXPECT_TRUE(WriteComPortFile(3));
    EXPECT_EQ(testing::Slurp(dir_ / "quelmom.ini"), " 3 \r\n");
    fs::remove(dir_ / "quelmom.ini");
    fs::create_directory(dir_ / "quelmom.ini");
    EXPECT_FALSE(WriteComPortFile(0));
    fs::current_path(previous);
}

}  // namespace
}  // namespace quelm
