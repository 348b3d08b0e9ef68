// LenientNumber never yields NaN, infinity or -0, and AppendGeneralNumber writes exactly what
// the C library's %G gives (zero before the point dropped) for any bit pattern and precision.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "../tests/unit/general_number_reference.h"
#include "common/number_text.h"
#include "fuzz_input.h"

namespace {

using quelm::test::GeneralNumberReference;

void Fail(const char* what, const std::string& got, const std::string& want) {
    std::fprintf(stderr, "%s: got \"%s\", want \"%s\"\n", what, got.c_str(), want.c_str());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quelm::fuzz::FuzzInput in(data, size);
    const int digits = 1 + in.Byte() % 17;
    const auto bits = in.Raw<double>();
    const auto single = in.Raw<float>();
    const std::string_view text = in.Rest();

    const double parsed = quelm::LenientNumber(text);
    if (!std::isfinite(parsed) || (parsed == 0 && std::signbit(parsed))) {
        std::fprintf(stderr, "LenientNumber gave %g\n", parsed);
        std::abort();
    }

    for (double value : {bits, static_cast<double>(single), parsed}) {
        if (!std::isfinite(value)) {
            continue;  // the reference spells these differently on purpose
        }
        char out[quelm::kMaxGeneralNumberChars + 8];
        char* end = quelm::AppendGeneralNumber(out, value, digits);
        const auto written = static_cast<std::size_t>(end - out);
        if (written > static_cast<std::size_t>(quelm::kMaxGeneralNumberChars)) {
            Fail("too long", std::string(out, written), "");
        }
        const std::string got(out, written);
        const std::string want = GeneralNumberReference(value, digits);
        if (got != want) {
            Fail("AppendGeneralNumber", got, want);
        }
        if (quelm::GeneralNumber(value, digits) != got) {
            Fail("GeneralNumber", quelm::GeneralNumber(value, digits), got);
        }
    }
    return 0;
}
