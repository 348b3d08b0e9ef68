// Breakpoint tables of the sensor characteristics and the one interpolation rule they share.
#pragma once

#include <array>
#include <span>

namespace quelm {

struct TablePoint {
    double x = 0;
    double y = 0;
};

// Entry 0 of each built-in table reads (0, 0); the last entry is a sentinel above any input.
using ThermTable = std::array<TablePoint, 11>;
using BapTable = std::array<TablePoint, 11>;
using DiyTable = std::array<TablePoint, 35>;
// Rows 0..30 come from a MAF curve file; 31..34 stay empty.
inline constexpr std::size_t kMafPoints = 31;
using MafTable = std::array<TablePoint, 35>;

struct CalibrationTables {
    ThermTable therm{};
    BapTable bap{};
    DiyTable diy{};
    MafTable maf{};
};

void LoadThermTable(ThermTable& table);
void LoadBapTable(BapTable& table);
void LoadDiyTable(DiyTable& table);
// The three built-in tables filled, the MAF table empty.
CalibrationTables BuiltInTables();

// Piecewise-linear lookup: walks from entry 1 to the first x strictly above v and interpolates
// from the entry before it. A walk that runs off the end holds the last entry's y.
double TableLookup(std::span<const TablePoint> table, double v);

double ThermLookup(const CalibrationTables& t, double volts);
double BapLookup(const CalibrationTables& t, double hertz);
double DiyLookup(const CalibrationTables& t, double volts);
// Only the 31 loaded rows are walked: at or above the last loaded voltage it holds that flow.
double MafLookup(const CalibrationTables& t, double volts);

}  // namespace quelm
