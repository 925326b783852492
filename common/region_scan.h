#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "common/bmp_header.h"
#include "common/module_log.h"

namespace pelk {

// The region-growing scan shared by the gate finder and the FG-1 area finder. Each of them keeps
// its own grid and region table in its module's shared state; this file holds only their shapes and the
// procedures that work on them.

inline constexpr int kRegionGridSide = 1001;
inline constexpr int kMaxRegions = 1000;
// A pixel above this value is bright; this is the scan's only intensity test.
inline constexpr int kBrightAbove = 100;

// Indexed [a][b]: a runs over the stored pixel rows (called x), b along a stored row (called y).
using RegionGrid = std::array<std::array<std::uint8_t, kRegionGridSide>, kRegionGridSide>;

struct ScanRegion {
  int x1 = 0;              // seed row
  int y1 = 0;              // seed column
  int dx = 0;              // pixels in the seed's column run
  int dy = 0;              // longest row run among the rows of that column run
  int area = 0;            // dx * dy, not the number of pixels visited
  double intensity = 0.0;  // mean of the pixels visited for the region
};

// Regions 1..count; entry 0 is unused, as in the tables' own numbering.
struct RegionTable {
  std::array<ScanRegion, kMaxRegions + 1> entries{};
  int count = 0;
};

enum class RowOrder {
  Stored,    // the k-th row read fills grid row k
  Reversed,  // the k-th row read fills grid row X - 1 - k
};

// Loads an image into the grid: logs the header lines ("X size is ", "Y Size is "), then reads X
// rows of Y bytes each from `pixelStart` on, skipping nothing between rows. Cells outside the
// X x Y rectangle keep what they held. A width or height above 1001 is refused after the header
// lines; a file that ends before its X * Y pixel bytes fills the rows it has and then fails.
BmpSize loadRegionGrid(const std::string& path, std::size_t pixelStart, RowOrder order,
                       RegionGrid& grid, ModuleLog& log);

// Called with (a, b) whenever a region is seeded, recorded or not.
using SeedHook = std::function<void(int a, int b)>;

// Scans rows 1..xmax and columns 1..ymax (row 0 and column 0 are never examined), grows a region
// from each seed, clears every pixel it visits and records the regions into `table` (emptied
// first). A region seeded in row 1, one still open at the end of its row, and any region after
// the 1000th are not recorded, but their pixels are cleared all the same.
void scanRegions(RegionGrid& grid, BmpSize size, RegionTable& table, const SeedHook& onSeed = {});

// The start of a region's log line, as both the gate finder and FG-1 log it:
// x1 ": " y1 " : " dx ": " dy " : " area " : " intensity (9.3) " : " — the mixed separators are
// the finder's own.
std::string regionLogPrefix(const ScanRegion& r);

// Appends the record both finders write for a region: the three labels, x1, y1, dx, dy and area,
// then the intensity in 9.3, separated by ';'. The caller ends the line.
void appendRegionRecord(std::string& out, const std::string& label1, const std::string& label2,
                        const std::string& label3, const ScanRegion& r);

}  // namespace pelk
