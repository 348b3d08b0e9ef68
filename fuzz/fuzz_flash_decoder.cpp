// Any sequence of flash and gap durations, as a faulty lamp or a noisy clock may time them: the
// decoder keeps its digits one character each and its position in range, and any code it
// assembles has a code line.
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "fuzz_input.h"
#include "tools/flash_decoder.h"

namespace {

using quelm::fuzz::Fail;

double Duration(quelm::fuzz::FuzzInput& in) {
    // Half the inputs are raw doubles (NaN, infinities, negatives), half land near thresholds.
    const std::uint8_t kind = in.Byte();
    if (kind & 1) {
        return in.Raw<double>();
    }
    return static_cast<double>(in.Raw<std::uint16_t>()) / 1000.0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quelm::fuzz::FuzzInput in(data, size);
    const quelm::TroubleCodes table = quelm::LoadTroubleCodes();
    quelm::FlashDecoderState state;
    while (in.remaining() > 0) {
        if (in.Byte() == 0xFF) {
            state.BeginRun();
        }
        const double on = Duration(in);
        const double off = Duration(in);
        const quelm::FlashCycleResult r = quelm::DecodeFlashCycle(state, on, off);
        const quelm::FlashCycleResult again = quelm::DecodeFlashCycle(state, on, off);
        if (again.code != r.code || again.state.digits != r.state.digits) {
            Fail("not pure");
        }
        for (const auto& digit : r.state.digits) {
            if (digit.size() != 1 || digit[0] < '0' || digit[0] > '9') {
                Fail("digit display holds something other than one digit");
            }
        }
        if (r.state.position < 1 || r.state.pulseCount < 0) {
            Fail("position or count out of range");
        }
        if (r.codeEnded && (r.code < 0 || r.code > 999)) {
            Fail("code out of range");
        }
        if (r.codeEnded && quelm::IsListedCode(r.code)) {
            if (quelm::CodeLine(r.code, table).empty()) {
                Fail("empty code line");
            }
        }
        state = r.state;
    }
    return 0;
}
