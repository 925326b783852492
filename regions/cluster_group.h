#pragma once
#include <string>
#include <vector>

#include "common/text_reader.h"

namespace pelk {

// The gate finder never lists more regions than this, so a larger count means a damaged file.
inline constexpr int kMaxGroupRegions = 1000;

// The regions of one cluster summary file, as tumour progression analysis reads them, and the
// group's statistics.
struct ClusterGroup {
  int n = 0;
  std::vector<double> area;         // entries 1..n; entry 0 unused
  std::vector<double> intensity;    // entries 1..n
  std::vector<int> x1, y1, dx, dy;  // kept as read; no statistic uses them
  double totalArea = 0.0;
  double meanArea = 0.0;
  double medianArea = 0.0;
  double totalIntensity = 0.0;
  double meanIntensity = 0.0;
  double medianIntensity = 0.0;
  double tumorIndex = 0.0;
};

// Reads a cluster summary file: the count from line 1, then per line x1, y1, dx, dy, area and
// intensity, the rest of the line (xb, yb) skipped. A count below 0 or above 1000 is an IoError
// ("Corrupt count N in NAME"); values missing at the end read as 0.
ClusterGroup readClusterGroup(TextReader& in);

// Sorts the areas and, independently, the intensities into descending order and fills in the
// totals, means, medians and the tumour index (T = the total area).
void evaluateClusterGroup(ClusterGroup& group);

// The verdict on the change from group 1's index to group 2's.
const char* progressionVerdict(double index1, double index2);

}  // namespace pelk
