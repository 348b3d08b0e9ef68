// The X-Y view's picture: the records of a time range binned by two channels, each cell
// coloured by a third channel's mean there (a fuel or airflow map), or by how many records fell
// in it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "decode/display_units.h"
#include "viewer/log_columns.h"

namespace quelm {

struct XYGrid {
    int nx = 0;
    int ny = 0;
    // The value range the cells span (cell (ix, iy) covers the nx-th / ny-th part of it).
    double xLower = 0, xUpper = 1, yLower = 0, yUpper = 1;
    // Cell (ix, iy) at iy * nx + ix: the mean colour value of the records in it, or their
    // count without a colour channel; NaN for a cell no record fell in.
    std::vector<double> cells;
    // Lowest and highest cell value (0..1 when every cell is empty).
    double cellLower = 0, cellUpper = 1;
    std::uint64_t points = 0;
};

// Records [first, last) that passed their checksum, on an nx by ny grid over the range their x
// and y values span (a channel's gauge scale when they span nothing), every value in `units`.
// A record whose value has no metric equivalent (fuel economy at 0 mpg) is left out.
XYGrid BinXY(const LogColumns& log, std::size_t x, std::size_t y, std::optional<std::size_t> colour,
             std::size_t first, std::size_t last, int nx, int ny,
             DisplayUnits units = DisplayUnits::US);

}  // namespace quelm
