#include "decode/calibration_tables.h"

namespace quelm {

void LoadThermTable(ThermTable& table) {
    table[1] = {0, 254};
    table[2] = {0.24, 254};
    table[3] = {0.39, 222};
    table[4] = {0.72, 179};
    table[5] = {1.42, 133};
    table[6] = {3.6, 46};
    table[7] = {4.08, 19};
    table[8] = {4.37, -9};
    table[9] = {4.52, -40};
    table[10] = {256, -40};
}

void LoadBapTable(BapTable& table) {
    table[1] = {0, 15.0796};
    table[2] = {116.8443, 15.0796};
    table[3] = {138.3355, 23.05705};
    table[4] = {162.2534, 30.97696};
    table[5] = {9.9e100, 30.97696};
}

void LoadDiyTable(DiyTable& table) {
    // Air/fuel ratio at 1.40 V, 1.45 V, ... 2.90 V. The dip at 1.80 V is the interface's own.
    constexpr std::array<double, 31> kRatios = {10.1, 10.2, 10.4, 10.5, 10.7, 10.9, 11.0, 11.2,
                                                11.0, 11.6, 11.8, 12.0, 12.2, 12.4, 12.6, 12.8,
                                                13.1, 13.3, 13.6, 13.8, 14.1, 14.4, 14.7, 15.3,
                                                15.8, 16.5, 17.2, 17.9, 18.8, 19.7, 20.7};
    table[1] = {0, 10.1};
    for (std::size_t k = 0; k < kRatios.size(); ++k) {
        // Built from an integer step so every breakpoint is the nearest double to its voltage.
        table[2 + k] = {static_cast<double>(140 + 5 * k) / 100.0, kRatios[k]};
    }
    table[33] = {5, 20.7};
    table[34] = {256, 20.7};
}

CalibrationTables BuiltInTables() {
    CalibrationTables t;
    LoadThermTable(t.therm);
    LoadBapTable(t.bap);
    LoadDiyTable(t.diy);
    return t;
}

double TableLookup(std::span<const TablePoint> table, double v) {
    if (table.empty()) {
        return 0;
    }
    std::size_t i = 1;
    while (i < table.size() && v >= table[i].x) {
        ++i;
    }
    if (i >= table.size()) {
        return table.back().y;
    }
    const TablePoint& lo = table[i - 1];
    const TablePoint& hi = table[i];
    double dx = hi.x - lo.x;
    if (dx == 0) {
        dx = 0.000001;
    }
    return lo.y - (lo.y - hi.y) * (v - lo.x) / dx;
}

double ThermLookup(const CalibrationTables& t, double volts) {
    return TableLookup(t.therm, volts);
}

double BapLookup(const CalibrationTables& t, double hertz) {
    return TableLookup(t.bap, hertz);
}

double DiyLookup(const CalibrationTables& t, double volts) {
    return TableLookup(t.diy, volts);
}

double MafLookup(const CalibrationTables& t, double volts) {
    // The curve file carries no sentinel row; the empty rows after it must never be walked into.
    return TableLookup(std::span<const TablePoint>(t.maf).first(kMafPoints), volts);
}

}  // namespace quelm
