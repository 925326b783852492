#include "regions/cluster_group.h"

#include <cmath>
#include <utility>

#include "common/exchange_sort_order.h"
#include "common/io_error.h"

namespace pelk {
namespace {

void sortDescending(std::vector<double>& column, int n) {
  const std::vector<double> values(column.begin() + 1, column.begin() + 1 + n);
  const std::vector<int> order = exchangeSortOrder(values);
  for (int r = 0; r < n; ++r) column[r + 1] = values[order[r]];
}

// Each addition is carried out in extended precision and stored back into a double, as every
// intermediate result of the analysis is.
double sumInOrder(const std::vector<double>& column, int n) {
  double total = 0.0;
  for (int i = 1; i <= n; ++i)
    total = static_cast<double>(static_cast<long double>(total) + column[i]);
  return total;
}

double meanOf(double total, int n) {
  return n == 0 ? 0.0 : static_cast<double>(static_cast<long double>(total) / n);
}

}  // namespace

ClusterGroup readClusterGroup(TextReader& in) {
  ClusterGroup group;
  const int n = in.readInt();
  if (n < 0 || n > kMaxGroupRegions)
    throw IoError("Corrupt count " + std::to_string(n) + " in " + in.name());
  in.skipLine();
  group.n = n;
  const std::size_t slots = static_cast<std::size_t>(n) + 1;
  for (auto* column : {&group.x1, &group.y1, &group.dx, &group.dy}) column->assign(slots, 0);
  group.area.assign(slots, 0.0);
  group.intensity.assign(slots, 0.0);
  for (int i = 1; i <= n; ++i) {
    group.x1[i] = in.readInt();
    group.y1[i] = in.readInt();
    group.dx[i] = in.readInt();
    group.dy[i] = in.readInt();
    group.area[i] = in.readReal();
    group.intensity[i] = in.readReal();
    in.skipLine();
  }
  return group;
}

void evaluateClusterGroup(ClusterGroup& g) {
  sortDescending(g.area, g.n);
  sortDescending(g.intensity, g.n);
  g.totalArea = sumInOrder(g.area, g.n);
  g.meanArea = meanOf(g.totalArea, g.n);
  g.totalIntensity = sumInOrder(g.intensity, g.n);
  g.meanIntensity = meanOf(g.totalIntensity, g.n);
  // The upper of the two middle entries for an even count; no average is taken.
  const int m = (g.n + 1) / 2;
  g.medianArea = g.n == 0 ? 0.0 : g.area[m];
  g.medianIntensity = g.n == 0 ? 0.0 : g.intensity[m];

  // Left to right in extended precision; the median intensity enters twice, 4/39 and 2/39.
  const long double index = 0.25L * g.totalArea + (8.0L / 39.0L) * g.n +
                            (3.0L / 39.0L) * g.meanArea + (6.0L / 39.0L) * g.meanIntensity +
                            (4.0L / 39.0L) * g.medianIntensity + (2.0L / 39.0L) * g.medianIntensity;
  g.tumorIndex = static_cast<double>(index);
}

const char* progressionVerdict(double index1, double index2) {
  const double d = static_cast<double>(static_cast<long double>(index2) - index1);
  if (std::fabs(static_cast<long double>(d)) <= 0.001L)
    return "Tumor Progression is STABLE (NO CHANGE)";
  if (d > 0) return "Tumor Progression is INCREASING";
  return "Tumor Progression is DECREASING";
}

}  // namespace pelk
