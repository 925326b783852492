#include "maps/map_pass.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "common/file_io.h"
#include "common/rounding.h"
#include "maps/map_file.h"
#include "maps/map_source.h"

namespace pelk {
namespace {

static_assert(kMapGridSize <= kLongestMapRow, "map rows end in zeros taken from the finished row");

// The sums of blocks 0..100 in both directions; the map's other sums are always zero.
using SummedBlocks = std::array<std::array<std::int32_t, kSummedMapBlocks>, kSummedMapBlocks>;

// The block size is the extended-precision quotient stored as a double; that rounding decides
// whether the last column lands in block 99 or 100.
double blockSize(std::int32_t last) {
  return static_cast<double>(static_cast<long double>(last) / 100.0L);
}

// Block index of every pixel column (or row), worked out once per pass.
std::vector<int> blockIndexes(std::int64_t count, double size) {
  std::vector<int> blocks(static_cast<std::size_t>(count));
  for (std::int64_t c = 0; c < count; ++c)
    blocks[c] = static_cast<int>(truncToInt(static_cast<long double>(c) / size));
  return blocks;
}

void binPixels(const MapSource& source, double sx, double sy, SummedBlocks& grid) {
  const std::int64_t width = source.size.width();
  const std::int64_t height = source.size.height();
  const std::vector<int> colBlock = blockIndexes(width, sx);
  const std::vector<int> rowBlock = blockIndexes(height, sy);
  // Indexes grow with the pixel's, so the last ones are the largest; the quotient keeps them at
  // 100 at most, and this keeps a mistake in it from writing past the sums.
  if (colBlock.back() >= kSummedMapBlocks || rowBlock.back() >= kSummedMapBlocks) source.tooLarge();
  // Neighbouring columns share a block: each run of them is summed first and added once.
  struct ColumnRun {
    std::int64_t end;
    int block;
  };
  std::vector<ColumnRun> runs;
  for (std::int64_t c = 0; c < width; ++c)
    if (runs.empty() || runs.back().block != colBlock[c])
      runs.push_back(ColumnRun{c + 1, colBlock[c]});
    else runs.back().end = c + 1;
  // The rows of one block row are first added up column by column, a loop the compiler turns
  // into vector adds; the column runs are then summed once per block row. Pixels are never
  // negative, so no partial sum exceeds the block's own sum in the grid.
  std::vector<std::int32_t> columnSums(static_cast<std::size_t>(width));
  for (std::int64_t r = 0; r < height;) {
    const int block = rowBlock[r];
    std::fill(columnSums.begin(), columnSums.end(), 0);
    for (; r < height && rowBlock[r] == block; ++r) {
      const unsigned char* pixels = source.row(r);
      for (std::int64_t c = 0; c < width; ++c) columnSums[c] += pixels[c];
    }
    std::int32_t* sums = grid[block].data();
    std::int64_t c = 0;
    for (const ColumnRun& run : runs) {
      std::int32_t sum = 0;
      for (; c < run.end; ++c) sum += columnSums[c];
      sums[run.block] += sum;
    }
  }
}

}  // namespace

double runMapPass(const std::string& bitmap, const std::string& output, ModuleLog& log) {
  const MapSource source = loadMapSource(bitmap, log);
  OutFile out(output);
  appendMapFirstLine(out.text());

  const double sx = blockSize(source.size.xmax);
  const double sy = blockSize(source.size.ymax);
  auto grid = std::make_unique<SummedBlocks>();
  if (source.hasPixels()) {
    if (sx == 0.0 || sy == 0.0) source.tooSmall();
    source.requirePixels();
    binPixels(source, sx, sy, *grid);
  }

  const double mean = static_cast<double>(static_cast<long double>(source.pixelCount()) / 10000.0L);
  std::string& text = out.text();
  // Only the sums of blocks 0..100 are copied into the text; the zeros after them are not.
  text.reserve(text.size() + 32 + kSummedMapBlocks * kSummedMapBlocks * 9);
  appendMapMeanLine(text, mean);
  for (const auto& row : *grid) appendMapRow(out, row.data(), kSummedMapBlocks, kMapGridSize);
  for (int r = kSummedMapBlocks; r < kMapGridSize; ++r) appendMapRow(out, nullptr, 0, kMapGridSize);
  out.close();
  return mean;
}

}  // namespace pelk
