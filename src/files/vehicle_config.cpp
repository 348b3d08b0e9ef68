#include "files/vehicle_config.h"

#include <cmath>
#include <limits>

#include "common/app_paths.h"
#include "common/number_text.h"

namespace quelm {

namespace {

// A count stored as a 16-bit integer: rounded half to even; a value the type cannot hold
// (only possible in a hand-edited file) counts as missing.
std::int16_t RoundedCount(std::string_view text) {
    const double rounded = std::nearbyint(LenientNumber(text));
    if (!(rounded >= std::numeric_limits<std::int16_t>::min() &&
          rounded <= std::numeric_limits<std::int16_t>::max())) {
        return 0;
    }
    return static_cast<std::int16_t>(rounded);
}

double NumberOr(std::string_view text, double whenZero) {
    const double value = LenientNumber(text);
    return value == 0 ? whenZero : value;
}

std::int16_t FeatureCode(std::string_view text) {
    return text == "NONE" ? std::int16_t{0} : RoundedCount(text);
}

}  // namespace

VehicleConfig LoadVehicleConfig(const SettingsFile& settings, VehicleConfig current) {
    VehicleConfig c = std::move(current);
    c.InjectorSize = NumberOr(ReadIniValue(settings, "INJECTION", "InjSize"), 19);
    c.NumCylinders = RoundedCount(ReadIniValue(settings, "INJECTION", "NumCyl"));
    if (c.NumCylinders == 0) {
        c.NumCylinders = 8;
    }
    c.Displacement = NumberOr(ReadIniValue(settings, "INJECTION", "CI"), 302);

    c.MafFile = ReadIniValue(settings, "INJECTION", "MAFFILE");
    if (c.MafFile.empty()) {
        c.MafFile = StockMafPath().string();
    }

    c.BatchFire = ReadIniValue(settings, "INJECTION", "BATCH") == "YES";
    c.VssCorrection = NumberOr(ReadIniValue(settings, "vsscorrection", "value"), 1);
    const std::string bap = ReadIniValue(settings, "SENSORS", "BapPresent");
    c.BapPresent = bap.empty() || bap == "YES";
    c.DisIgnition = ReadIniValue(settings, "IGNITION", "DIS") == "YES";

    const std::string wideBand = ReadIniValue(settings, "WideBand", "TYPE");
    if (wideBand == "NONE") {
        c.WideBandType = 0;
    } else if (wideBand == "BAILEY") {
        c.WideBandType = 1;
    } else if (wideBand == "DIY") {
        c.WideBandType = 2;
    } else if (wideBand == "INNOVATE") {
        c.WideBandType = 3;
    }
    c.MapType = FeatureCode(ReadIniValue(settings, "MAP", "TYPE"));
    c.AuxType = FeatureCode(ReadIniValue(settings, "AUX", "TYPE"));
    return c;
}

std::optional<MapOption> MapOptionFromCode(int code) {
    switch (code) {
        case 0:
            return MapOption::NoMap;
        case 1:
            return MapOption::OneBar;
        case 2:
            return MapOption::TwoBar;
        case 3:
            return MapOption::ThreeBar;
        default:
            return std::nullopt;
    }
}

std::optional<WideBandOption> WideBandOptionFromCode(int code) {
    switch (code) {
        case 0:
            return WideBandOption::NoWideBand;
        case 1:
            return WideBandOption::Bailey;
        case 2:
            return WideBandOption::Diy;
        case 3:
            return WideBandOption::Innovate;
        default:
            return std::nullopt;
    }
}

std::string_view MapTypeText(MapOption option) {
    switch (option) {
        case MapOption::OneBar:
            return "1";
        case MapOption::TwoBar:
            return "2";
        case MapOption::ThreeBar:
            return "3";
        case MapOption::NoMap:
            break;
    }
    return "NONE";
}

std::string_view WideBandTypeText(WideBandOption option) {
    switch (option) {
        case WideBandOption::Bailey:
            return "BAILEY";
        case WideBandOption::Diy:
            return "DIY";
        case WideBandOption::Innovate:
            return "INNOVATE";
        case WideBandOption::NoWideBand:
            break;
    }
    return "NONE";
}

std::string_view AuxTypeText(bool voltageDisplay) {
    return voltageDisplay ? "1" : "NONE";
}

void ApplyToLiveConfig(const VehicleConfig& config, LiveConfig& live) {
    live.numcyl = PlainNumber(config.NumCylinders);
    live.vsscorrection = PlainNumber(config.VssCorrection);
    live.injsize = PlainNumber(config.InjectorSize);
    live.hasdis = config.DisIgnition;
    live.hasbatchfire = config.BatchFire;
    if (const auto map = MapOptionFromCode(config.MapType)) {
        live.map = *map;
    }
    if (const auto wideBand = WideBandOptionFromCode(config.WideBandType)) {
        live.wideBand = *wideBand;
    }
}

bool IsNumberText(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return false;
    }
    text = text.substr(first, text.find_last_not_of(' ') - first + 1);
    if (text.front() == '+' || text.front() == '-') {
        text.remove_prefix(1);
    }
    bool digit = false;
    bool point = false;
    for (const char ch : text) {
        if (ch >= '0' && ch <= '9') {
            digit = true;
        } else if (ch == '.' && !point) {
            point = true;
        } else {
            return false;
        }
    }
    return digit;
}

}  // namespace quelm
