// Files under hostile conditions: a full disk, a read-only folder, oversized and garbage
// contents. Each case must report clearly and lose nothing that was there before.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <sstream>
#include <string>

#include "files/maf_table.h"
#include "files/settings_file.h"
#include "scratch_mount.h"

namespace quelm {
namespace {

namespace fs = std::filesystem;

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Put(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

std::set<std::string> Names(const fs::path& dir) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

std::string Curve(int points, double flowStep) {
    std::ostringstream out;
    out << "Volts , Kg/HR\r\n";
    for (int i = 0; i < points; ++i) {
        out << i / 6.0 << ',' << i * flowStep << "\r\n";
    }
    return out.str();
}

class FilesFaultTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("quelm_faults_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override {
        mount_.reset();
        fs::remove_all(dir_);
    }

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

    fs::path dir_;
    std::unique_ptr<test::ScratchMount> mount_;
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

}  // namespace
}  // namespace quelm
