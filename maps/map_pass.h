#pragma once
#include <cstdint>
#include <string>

#include "common/module_log.h"

namespace pelk {

// A map file's grid of block sums is 513 x 513, and only block rows and columns 0..100 can
// receive sums: a pixel's block is its index over a hundredth of the last index.
inline constexpr int kMapGridSize = 513;
inline constexpr int kSummedMapBlocks = 101;

// One map pass: reads `bitmap` (logging its size), writes the intensity map file `output` and
// returns the mean written on its second line (pixel count / 10000). Blocks are
// sx = xmax / 100 by sy = ymax / 100 pixels, held as doubles; a pixel falls into block
// trunc(col / sx), trunc(row / sy), the quotient taken in extended precision.
// When the bitmap turns out unusable after the map file was created (a block size of 0, fewer
// bytes than width x height), the file keeps its first line and the IoError is passed on.
double runMapPass(const std::string& bitmap, const std::string& output, ModuleLog& log);

}  // namespace pelk
