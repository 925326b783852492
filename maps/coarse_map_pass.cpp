#include "maps/coarse_map_pass.h"

#include <cstdint>
#include <vector>

#include "common/file_io.h"
#include "common/rounding.h"
#include "maps/map_file.h"
#include "maps/map_source.h"

namespace pelk {
namespace {

constexpr int kGridSize = 257;
constexpr int kRowsWritten = 100;
constexpr int kColumnsWritten = 101;

int blockOf(std::int64_t pixel, long long s) {
  return static_cast<int>(roundEven(static_cast<long double>(pixel) / static_cast<long double>(s)));
}

}  // namespace

void runCoarseMapPass(const std::string& bitmap, const std::string& output, ModuleLog& log) {
  const MapSource source = loadMapSource(bitmap, log);
  OutFile out(output);
  appendMapFirstLine(out.text());

  const long long s = roundEven(static_cast<long double>(source.size.xmax) / 100.0L);
  std::vector<std::int32_t> grid(static_cast<std::size_t>(kGridSize) * kGridSize, 0);
  std::int64_t sum = 0;
  if (source.hasPixels()) {
    if (s == 0) source.tooSmall();
    if (blockOf(source.size.xmax, s) >= kGridSize || blockOf(source.size.ymax, s) >= kGridSize)
      source.tooLarge();
    source.requirePixels();

    const std::int64_t width = source.size.width();
    std::vector<int> colBlock(static_cast<std::size_t>(width));
    for (std::int64_t c = 0; c < width; ++c) colBlock[c] = blockOf(c, s);
    for (std::int64_t r = 0; r < source.size.height(); ++r) {
      std::int32_t* sums = grid.data() + static_cast<std::size_t>(blockOf(r, s)) * kGridSize;
      const unsigned char* pixels = source.row(r);
      for (std::int64_t c = 0; c < width; ++c) {
        sums[colBlock[c]] += pixels[c];
        sum += pixels[c];
      }
    }
  }

  std::string& text = out.text();
  appendMapMeanLine(text, static_cast<double>(static_cast<long double>(sum) / 10000.0L));
  for (int i = 0; i < kRowsWritten; ++i)
    appendMapRow(out, grid.data() + static_cast<std::size_t>(i) * kGridSize, kColumnsWritten);
  out.close();
}

}  // namespace pelk
