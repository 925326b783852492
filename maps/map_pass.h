#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "common/module_log.h"

namespace pelk {

// The block-sum grid of a map module. Only block rows and columns 0..100 can receive sums; the
// whole grid is written out all the same.
inline constexpr int kMapGridSize = 513;
using MapGrid = std::array<std::array<std::int32_t, kMapGridSize>, kMapGridSize>;

// A map module's block-sum grid. Every pass clears it first, so it carries nothing from one
// map to the next; a module keeps one only so that its megabyte is not set up again per map.
struct MapModuleState {
  MapGrid grid{};
  void reset() {
    for (auto& row : grid) row.fill(0);
  }
};

// One map pass: reads `bitmap` (logging its size), writes the intensity map file `output` and
// returns the mean written on its second line (pixel count / 10000). Blocks are
// sx = xmax / 100 by sy = ymax / 100 pixels, held as doubles; a pixel falls into block
// trunc(col / sx), trunc(row / sy), the quotient taken in extended precision.
// When the bitmap turns out unusable after the map file was created (a block size of 0, fewer
// bytes than width x height), the file keeps its first line and the IoError is passed on.
double runMapPass(const std::string& bitmap, const std::string& output, ModuleLog& log,
                  MapGrid& grid);

}  // namespace pelk
