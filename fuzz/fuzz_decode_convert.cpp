// Any frame bytes under any vehicle settings: decoding and conversion never invoke undefined
// behaviour and never hand NaN or infinity to the displays, the scopes or the CSV export.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "decode/convert_frame.h"
#include "decode/dashboard_update.h"
#include "decode/frame_decoder.h"
#include "decode/scope_channels.h"
#include "fuzz_input.h"

namespace {

void CheckFinite(const float* values, std::size_t count, const char* what) {
    for (std::size_t i = 0; i < count; ++i) {
        if (!std::isfinite(values[i])) {
            std::fprintf(stderr, "%s field %zu is %g\n", what, i, static_cast<double>(values[i]));
            std::abort();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quelm::fuzz::FuzzInput in(data, size);
    quelm::LiveConfig config;
    const std::uint8_t options = in.Byte();
    quelm::fuzz::ApplyOptionBits(config, options);
    const bool loadMaf = (options & 64) != 0;
    // "Zero It!" takes a BOOST value, so the offset is always a finite single-precision number.
    const float zero = in.Raw<float>();
    config.mapZeroOffset = std::isfinite(zero) ? zero : 0;
    config.numcyl = in.Text(24);
    config.vsscorrection = in.Text(24);
    config.injsize = in.Text(24);

    quelm::CalibrationTables tables = quelm::BuiltInTables();
    if (loadMaf) {
        // Whatever a curve file can hold: any finite voltages and flows, in any order.
        for (std::size_t i = 0; i < quelm::kMafPoints; ++i) {
            const float x = in.Raw<float>();
            const float y = in.Raw<float>();
            tables.maf[i] = {std::isfinite(x) ? x : 0.0, std::isfinite(y) ? y : 0.0};
        }
    }

    quelm::ConvertState state;
    quelm::RawData raw;
    quelm::FrameBuffer frame{};
    while (in.remaining() > 0) {
        const bool seal = (in.Byte() & 1) != 0;
        for (std::size_t i = 0; i < quelm::kFrameBufferBytes; ++i) {
            frame[i] = in.Byte();
        }
        if (seal) {
            quelm::SealFrame(frame);
        }
        if (quelm::DecodeFrame(frame, raw)) {
            continue;
        }
        quelm::ConvertFrame(raw, config, tables, state);
        static_assert(sizeof(quelm::EngData) % sizeof(float) == 0);
        float fields[sizeof(quelm::EngData) / sizeof(float)];
        std::memcpy(fields, &state.eng, sizeof fields);
        CheckFinite(fields, std::size(fields), "EngData");

        const quelm::GaugeValues gauges = quelm::UpdateDashboard(state.eng, config);
        float gaugeFields[sizeof(quelm::GaugeValues) / sizeof(float)];
        std::memcpy(gaugeFields, &gauges, sizeof gaugeFields);
        CheckFinite(gaugeFields, std::size(gaugeFields), "GaugeValues");
        std::memcpy(fields, &state.eng, sizeof fields);
        CheckFinite(fields, std::size(fields), "EngData after UpdateDashboard");

        for (const auto& channel : quelm::kScopeChannels) {
            const double scaled = quelm::ScopeScaled(channel, state.eng);
            if (!std::isfinite(scaled)) {
                std::fprintf(stderr, "scope %s gives %g\n", std::string(channel.name).c_str(),
                             scaled);
                std::abort();
            }
            (void)quelm::TwoDecimalText(quelm::ScopeValue(channel, state.eng));
        }
    }
    return 0;
}
