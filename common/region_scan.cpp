#include "common/region_scan.h"

#include "common/format.h"

#include <algorithm>
#include <cstring>

#include "common/file_io.h"
#include "common/io_error.h"

namespace pelk {

BmpSize loadRegionGrid(const std::string& path, std::size_t pixelStart, RowOrder order,
                       RegionGrid& grid, ModuleLog& log) {
  const std::string bytes = readWholeFile(path);
  const BmpSize size = readBmpSize(bytes, path, log);
  const std::int64_t rows = size.width();
  const std::int64_t columns = size.height();
  if (rows > kRegionGridSide || columns > kRegionGridSide)
    throw IoError("Image too large for the gate finder: " + path);

  // The bytes before the pixels are read and dropped, so a file that ends among them fails even
  // when the header announces no pixels at all.
  if (bytes.size() < pixelStart) throw IoError("Read beyond end of file: " + path);
  const std::size_t rowBytes = static_cast<std::size_t>(columns);
  for (std::int64_t k = 0; k < rows; ++k) {
    const std::size_t from = pixelStart + static_cast<std::size_t>(k) * rowBytes;
    const std::size_t available = bytes.size() > from ? bytes.size() - from : 0;
    const std::size_t take = std::min(available, rowBytes);
    const std::int64_t a = order == RowOrder::Stored ? k : rows - 1 - k;
    if (take > 0) std::memcpy(grid[a].data(), bytes.data() + from, take);
    if (take < rowBytes) throw IoError("Read beyond end of file: " + path);
  }
  return size;
}

namespace {

// One region being grown: what the row scan of a single row carries from position to position.
class RegionGrower {
 public:
  RegionGrower(RegionGrid& grid, BmpSize size) : grid_(grid), xmax_(size.xmax), ymax_(size.ymax) {}

  bool bright(int a, int b) const { return grid_[a][b] > kBrightAbove; }

  void reset() {
    visited_ = 0;
    sum_ = 0.0;
    vext_ = 0;
    hext_ = 0;
  }

  // Grows the region through the bright pixel (a, b): its column run up and down, and the row run
  // of every pixel on that column run.
  void grow(int a, int b) {
    visit(a, b);
    const Run up = columnRun(a - 1, b, -1);
    const Run down = columnRun(a + 1, b, +1);
    vext_ = std::max(vext_, 1 + up.n + down.n);
    const int h = rowRun(a, b);
    hext_ = std::max({hext_, up.m, down.m, h});
  }

  int vext() const { return vext_; }
  int hext() const { return hext_; }
  // The count is at least 1 whenever a region is recorded: its seed was visited.
  double meanIntensity() const { return sum_ / visited_; }

 private:
  struct Run {
    int n = 0;  // pixels in the column run
    int m = 1;  // longest row run among them
  };

  void visit(int r, int j) {
    ++visited_;
    sum_ += grid_[r][j];
    grid_[r][j] = 0;
  }

  // Upward the run stops above row 1, so row 0 is never reached.
  Run columnRun(int r, int b, int direction) {
    Run run;
    while ((direction < 0 ? r >= 1 : r <= xmax_) && bright(r, b)) {
      run.m = std::max(run.m, rowRun(r, b));
      ++run.n;
      visit(r, b);
      r += direction;
    }
    return run;
  }

  // Counts (r, b) itself without visiting it; visits the bright run on both sides.
  int rowRun(int r, int b) {
    int k = 1;
    for (int j = b + 1; j <= ymax_ && bright(r, j); ++j) {
      ++k;
      visit(r, j);
    }
    for (int j = b - 1; j >= 1 && bright(r, j); --j) {
      ++k;
      visit(r, j);
    }
    return k;
  }

  RegionGrid& grid_;
  int xmax_;
  int ymax_;
  int visited_ = 0;
  double sum_ = 0.0;
  int vext_ = 0;
  int hext_ = 0;
};

void recordRegion(RegionTable& table, int x1, int y1, const RegionGrower& grown) {
  // A full table and a seed in the first scanned row record nothing; the pixels stay cleared.
  if (table.count >= kMaxRegions || x1 == 1) return;
  ScanRegion& region = table.entries[++table.count];
  region.x1 = x1;
  region.y1 = y1;
  region.dx = grown.vext();
  region.dy = grown.hext();
  region.area = region.dx * region.dy;
  region.intensity = grown.meanIntensity();
}

}  // namespace

void scanRegions(RegionGrid& grid, BmpSize size, RegionTable& table, const SeedHook& onSeed) {
  table.count = 0;
  RegionGrower grower(grid, size);
  for (int a = 1; a <= size.xmax; ++a) {
    grower.reset();
    bool open = false;
    int seedA = 0;
    int seedB = 0;
    for (int b = 1; b <= size.ymax; ++b) {
      if (grower.bright(a, b)) {
        if (!open) {
          open = true;
          seedA = a;
          seedB = b;
          if (onSeed) onSeed(a, b);
        }
        grower.grow(a, b);
      } else if (open) {
        // A region is closed by the first dark position after it, so one still open when the
        // row ends is never recorded. Between regions the grower stays as reset.
        recordRegion(table, seedA, seedB, grower);
        grower.reset();
        open = false;
      }
    }
  }
}

std::string regionLogPrefix(const ScanRegion& r) {
  std::string s;
  appendInt(s, r.x1);
  s += ": ";
  appendInt(s, r.y1);
  s += " : ";
  appendInt(s, r.dx);
  s += ": ";
  appendInt(s, r.dy);
  s += " : ";
  appendInt(s, r.area);
  s += " : ";
  appendReal(s, r.intensity, 9, 3);
  s += " : ";
  return s;
}

void appendRegionRecord(std::string& out, const std::string& label1, const std::string& label2,
                        const std::string& label3, const ScanRegion& r) {
  out += label1;
  out += ';';
  out += label2;
  out += ';';
  out += label3;
  for (int v : {r.x1, r.y1, r.dx, r.dy, r.area}) {
    out += ';';
    appendInt(out, v);
  }
  out += ';';
  appendReal(out, r.intensity, 9, 3);
}

}  // namespace pelk
