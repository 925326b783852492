#include "maps/tform104.h"

#include <array>
#include <cmath>
#include <utility>
#include <vector>

#include "common/exchange_sort_order.h"
#include "common/file_io.h"
#include "common/fixed_files.h"
#include "common/format.h"
#include "common/picture.h"
#include "common/rounding.h"
#include "maps/block_geometry.h"
#include "maps/map_pair.h"

namespace pelk {
namespace {

constexpr double kHighlightThreshold = 5000.0;
constexpr long double kSmallest = 0.001L;
constexpr int kBlocks = 101;             // block rows and columns 0..100 of the compared area
constexpr long double kXOffset = 37.5L;  // the highlight grid starts left of the picture

// Xb = round((512 - 0.9 X) * 0.574), exactly: (5120 - 9 X) * 574 / 10000.
long long mirroredX(std::int32_t x) { return roundDivEven((5120 - 9LL * x) * 574, 10000); }
// Yb = round((512 - Y) * 0.481), exactly: (512 - Y) * 481 / 1000.
long long mirroredY(std::int32_t y) {
  return roundDivEven((512 - static_cast<long long>(y)) * 481, 1000);
}

}  // namespace

double blockScore(double a, double b) {
  const long double la = a;
  const long double diff = la - static_cast<long double>(b);
  const long double divisor = std::fabs(la) <= kSmallest ? kSmallest : la;
  return static_cast<double>(diff * diff / divisor);
}

TForm104::TForm104() = default;

// A new object starts the threshold it shares with the earlier ones at 50 again.
TForm104::TForm104(SharedState& shared) : state_(shared) { state_->reset(); }

double TForm104::threshold() const { return state_->threshold; }

void TForm104::setFileNames(const std::string& name1, const std::string& name2) {
  mapName1 = name1;
  mapName2 = name2;
}

void TForm104::performMCHS(const std::string& name1, const std::string& name2, Picture& view) {
  MapPair maps(name1, name2, MapPair::AtEnd::ReadZero);
  const double hs = hundredthOf(view.height());
  const double ws = hundredthOf(view.width());
  // Every row of blocks lands on the same picture columns: they are worked out once.
  std::array<int, kBlocks> columnX{};
  for (int i = 0; i < kBlocks; ++i)
    columnX[i] = picturePosition(static_cast<long double>(i) * ws - kXOffset);
  // Map block row 1 is drawn lowest: n runs from the bottom of the picture up.
  for (int n = kBlocks - 1; n >= 0; --n) {
    const int y = picturePosition(static_cast<long double>(n) * hs);
    for (int i = 0; i < kBlocks; ++i) {
      const auto [a, b] = maps.next();
      const double score = checkedScore(blockScore(a, b), name1);
      const int x = columnX[i];
      if (score >= state_->threshold) view.setPixel(x, y, scoreColor(score));
      addPoint(x, y, score);
    }
    maps.endRow();
  }
  drawHighlights(view);
  reportResults();
  Memo1.addEmpty();
  Memo1.add("Ready");
}

void TForm104::addPoint(std::int32_t x, std::int32_t y, double value) {
  // A value that is not finite cannot be drawn or written, so it never qualifies.
  if (pointCount >= kCapacity || !(value >= state_->threshold) || !std::isfinite(value) || x < 0 ||
      y < 0)
    return;
  ++pointCount;
  pointX[static_cast<std::size_t>(pointCount)] = x;
  pointY[static_cast<std::size_t>(pointCount)] = y;
  pointValue[static_cast<std::size_t>(pointCount)] = value;
}

void TForm104::drawHighlights(Picture& view) {
  resetThreshold();
  const double hs = hundredthOf(view.height());
  const double ws = hundredthOf(view.width());
  // The first points recorded are drawn last, so they stay on top.
  for (int k = pointCount; k >= 1; --k) {
    const auto at = static_cast<std::size_t>(k);
    const std::uint32_t colour = scoreColor(pointValue[at]);
    view.setPenColor(colour);
    view.setBrushColor(colour);
    view.moveTo(pointX[at], pointY[at]);
    view.rectangle(pointX[at], pointY[at],
                   picturePosition(pointX[at] + static_cast<long double>(ws)),
                   picturePosition(pointY[at] + static_cast<long double>(hs)));
  }
  view.setPenColor(0);
}

void TForm104::reportResults() {
  OutFile out(kHighlightResults);
  sortPointsByValue();

  Memo1.addEmpty();
  Memo1.add("==== MCHS RESULTS====");
  Memo1.addEmpty();
  Memo1.add("Idx   X     Y     Value  Xb  Yb");
  Memo1.add("--------------------------");

  out.line("=== MCHS RESULTS ===");
  out.line("");
  out.line("   Idx     X     Y Value   Xb   Yb");
  out.line("");

  std::string line;
  for (int k = 1; k <= pointCount; ++k) {
    const auto at = static_cast<std::size_t>(k);
    line.clear();
    appendInt(line, k, 6);
    // A wide number gets a blank before it so it never runs into its left neighbour.
    appendIntColumn(line, pointX[at], 6);
    appendIntColumn(line, pointY[at], 6);
    appendRealColumn(line, pointValue[at], 9, 3);
    appendIntColumn(line, mirroredX(pointX[at]), 6);
    appendIntColumn(line, mirroredY(pointY[at]), 6);
    Memo1.add(line);
    out.line(line);
  }
  Memo1.addEmpty();
  out.close();
}

void TForm104::sortPointsByValue() {
  // Thousands of points: the exchange order is worked out rather than exchanged step by step.
  const auto count = static_cast<std::size_t>(pointCount);
  const std::vector<double> values(pointValue.begin() + 1, pointValue.begin() + 1 + pointCount);
  const std::vector<std::int32_t> xs(pointX.begin() + 1, pointX.begin() + 1 + pointCount);
  const std::vector<std::int32_t> ys(pointY.begin() + 1, pointY.begin() + 1 + pointCount);
  const std::vector<int> order = exchangeSortOrder(values);
  for (std::size_t r = 0; r < count; ++r) {
    const auto from = static_cast<std::size_t>(order[r]);
    pointValue[r + 1] = values[from];
    pointX[r + 1] = xs[from];
    pointY[r + 1] = ys[from];
  }
}

void TForm104::resetThreshold() { state_->threshold = kHighlightThreshold; }

void TForm104::scanTestGrid() {
  resetThreshold();
  MapPair maps(mapName1, mapName2, MapPair::AtEnd::ReadZero);
  // Block rows 1..99; within a row, block columns 0..99 as they stand in the file, so block row k
  // and column j give the point (99 - k, j - 19).
  for (int r = 2; r <= 100; ++r) {
    for (int m = 99; m >= 0; --m) {
      const auto [a, b] = maps.next();
      addPoint(100 - r, 80 - m, checkedScore(cellScore(a, b), mapName1));
    }
    maps.endRow();
  }
}

double TForm104::cellScore(double a, double b) {
  const long double lb = b;
  const long double e = std::fabs(lb) <= kSmallest ? kSmallest : lb;
  const long double diff = static_cast<long double>(a) - e;
  return static_cast<double>(diff * diff / e);
}

void TForm104::Button1Click() {
  pointCount = 0;
  setFileNames(kStandardMap, kReferenceMap);
  scanTestGrid();
  reportResults();
}

}  // namespace pelk
