// A MAF curve file as downloaded from anywhere: any bytes. Loading never yields a non-finite
// point, keeps the earlier rows past a failure, and a complete curve saved again reads back the
// same.
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "files/maf_table.h"
#include "fuzz_input.h"

namespace {

namespace fs = std::filesystem;
using quelm::fuzz::Fail;
using quelm::fuzz::ScratchDir;

quelm::MafCurve Sentinel(char mark) {
    quelm::MafCurve curve;
    for (std::size_t i = 0; i < quelm::kMafPoints; ++i) {
        curve.volts[i] = mark + std::to_string(i);
        curve.kghr[i] = mark + std::to_string(i);
        curve.points[i] = {static_cast<double>(i), -1.0};
    }
    return curve;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fs::path file = ScratchDir() / "curve.maf";
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    const quelm::MafCurve before = Sentinel('a');
    const quelm::MafLoadResult loaded = quelm::LoadMafTable(file, before);
    if (loaded.usedFallback) {
        Fail("an existing file was reported missing");
    }
    if (loaded.complete != loaded.messages.empty()) {
        Fail("a failed load without a message, or a message on success");
    }
    for (std::size_t i = 0; i < quelm::kMafPoints; ++i) {
        const auto& p = loaded.curve.points[i];
        if (!std::isfinite(p.x) || !std::isfinite(p.y)) {
            Fail("non-finite point in row " + std::to_string(i));
        }
        for (const auto* text : {&loaded.curve.volts[i], &loaded.curve.kghr[i]}) {
            if (text->find_first_of("\r\n") != std::string::npos) {
                Fail("a line end inside a cell");
            }
        }
    }
    if (!loaded.complete) {
        // Loaded over another curve, the rows read come out the same and the rest keep their
        // earlier values; those untouched rows are the ones after the failure.
        const quelm::MafCurve other = Sentinel('b');
        const quelm::MafLoadResult over = quelm::LoadMafTable(file, other);
        bool untouched = false;
        for (std::size_t i = 0; i < quelm::kMafPoints; ++i) {
            const bool same = loaded.curve.volts[i] == over.curve.volts[i] &&
                              loaded.curve.kghr[i] == over.curve.kghr[i];
            if (same && untouched) {
                Fail("row " + std::to_string(i) + " read after a failed row");
            }
            if (!same) {
                untouched = true;
                if (loaded.curve.volts[i] != before.volts[i] ||
                    over.curve.volts[i] != other.volts[i] || over.curve.kghr[i] != other.kghr[i]) {
                    Fail("row " + std::to_string(i) + " changed after a failed load");
                }
            }
        }
        return 0;
    }
    const fs::path copy = ScratchDir() / "copy.maf";
    if (auto error = quelm::SaveMafFile(copy, loaded.curve.volts, loaded.curve.kghr)) {
        Fail("save failed: " + *error);
    }
    const quelm::MafLoadResult again = quelm::LoadMafTable(copy, before);
    if (!again.complete || again.curve.volts != loaded.curve.volts ||
        again.curve.kghr != loaded.curve.kghr ||
        again.curve.largestFlow != loaded.curve.largestFlow) {
        Fail("a saved curve does not read back the same");
    }
    return 0;
}
