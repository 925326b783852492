#pragma once
#include <string>

#include "common/module_log.h"

namespace pelk {

// The map modules' own "Run" pass, coarser than the map pass: one whole-number block size
// s = Round(xmax / 100) for both axes, pixel (row, col) in block Round(row / s), Round(col / s)
// (ties to even) of a 257 x 257 grid; line 2 holds the sum of the bytes read / 10000, then
// block rows 0..99 of block columns 0..100.
// A bitmap whose block size is 0, or whose last pixel would fall past block 256, is refused
// with an IoError after the map file's first line is written.
void runCoarseMapPass(const std::string& bitmap, const std::string& output, ModuleLog& log);

}  // namespace pelk
