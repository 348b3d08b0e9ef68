// The live vehicle and feature-connector settings the conversions read on every frame.
// The settings dialogs update this model on every edit, saved or not.
#pragma once

#include <string>

namespace quelm {

enum class MapOption { NoMap, OneBar, TwoBar, ThreeBar };
enum class WideBandOption { NoWideBand, Bailey, Diy, Innovate };

struct LiveConfig {
    // Texts exactly as typed in the vehicle dialog; the conversions parse them leniently.
    std::string numcyl = "8";
    std::string vsscorrection = "1";
    std::string injsize = "19";
    bool hasdis = false;
    bool hasbatchfire = false;
    MapOption map = MapOption::NoMap;
    WideBandOption wideBand = WideBandOption::NoWideBand;
    // psi added to BOOST; set by "Zero It!", never saved.
    double mapZeroOffset = 0;
};

}  // namespace quelm
