// A log file as found on disk: any bytes, any length. The reader hands out exactly the bytes of
// each whole record and refuses numbers outside the file; the export writes one line of 21
// finite numbers per whole record, under any vehicle settings.
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "files/csv_export.h"
#include "files/log_format.h"
#include "files/log_reader.h"
#include "fuzz_input.h"

namespace fs = std::filesystem;
using quelm::fuzz::Fail;
using quelm::fuzz::ScratchDir;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quelm::fuzz::FuzzInput in(data, size);
    quelm::LiveConfig config;
    const std::uint8_t options = in.Byte();
    quelm::fuzz::ApplyOptionBits(config, options);
    config.numcyl = in.Text(8);
    config.injsize = in.Text(8);
    config.vsscorrection = in.Text(8);
    const std::string_view log = in.Rest();

    const fs::path source = ScratchDir() / "run.qm1";
    {
        std::ofstream out(source, std::ios::binary | std::ios::trunc);
        out.write(log.data(), static_cast<std::streamsize>(log.size()));
    }
    const std::uint64_t whole = log.size() / quelm::kLogRecordBytes;

    quelm::LogReader reader(source);
    if (!reader.IsOpen() || reader.RecordCount() != whole) {
        Fail("reader: wrong record count");
    }
    quelm::FrameBuffer buffer{};
    for (std::uint64_t n = 1; n <= whole; ++n) {
        if (!reader.ReadRecord(n, buffer) ||
            std::memcmp(buffer.data(), log.data() + (n - 1) * quelm::kLogRecordBytes,
                        buffer.size()) != 0) {
            Fail("reader: record " + std::to_string(n) + " differs from the file");
        }
    }
    const quelm::FrameBuffer kept = buffer;
    if (reader.ReadRecord(0, buffer) || reader.ReadRecord(whole + 1, buffer) || buffer != kept) {
        Fail("reader: a record outside the file was read or touched the buffer");
    }

    quelm::CalibrationTables tables = quelm::BuiltInTables();
    for (std::size_t i = 0; i < quelm::kMafPoints; ++i) {
        tables.maf[i] = {static_cast<double>(i) / 6.0, 40.0 * static_cast<double>(i)};
    }
    const quelm::CsvExportResult result = quelm::ExportLogToCsv(source, config, tables);
    if (result.kind != quelm::CsvExportResult::Kind::Done || result.records != whole) {
        Fail("export failed or lost records: " + result.error);
    }
    std::ifstream csv(result.output, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(csv), std::istreambuf_iterator<char>()};
    std::size_t lines = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            Fail("csv: a line without CR LF");
        }
        const std::string line = text.substr(start, end - start);
        if (lines > 0) {
            std::size_t fields = 1;
            for (char c : line) {
                fields += c == ',' ? 1 : 0;
                if (!(std::isdigit(static_cast<unsigned char>(c)) || c == ',' || c == '.' ||
                      c == '-' || c == '+' || c == 'E')) {
                    Fail("csv: unexpected character in \"" + line + "\"");
                }
            }
            if (fields != 21) {
                Fail("csv: " + std::to_string(fields) + " fields in \"" + line + "\"");
            }
        } else if (line != quelm::kCsvHeader) {
            Fail("csv: wrong header");
        }
        ++lines;
        start = end + 2;
    }
    if (lines != whole + 1) {
        Fail("csv: " + std::to_string(lines) + " lines for " + std::to_string(whole) + " records");
    }
    return 0;
}
