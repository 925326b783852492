#include "progression/change_detection.h"

#include <algorithm>
#include <cmath>

#include <opencv2/imgproc.hpp>

namespace pelk {
namespace {

// 5 × 5 removes specks and one- or two-pixel ridges left by sub-pixel misalignment at sharp
// borders, yet keeps lesions of a few pixels' radius.
constexpr int kMedianSize = 5;
constexpr int kNoiseSampleStep = 2;

double medianOf(std::vector<float>& v) {
  auto middle = v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2);
  std::nth_element(v.begin(), middle, v.end());
  return *middle;
}

}  // namespace

long long ChangeMap::burden() const {
  long long total = 0;
  for (const auto& c : components) total += c.area;
  return total;
}

double robustSigma(const cv::Mat& values, const cv::Mat& mask, int step) {
  std::vector<float> sample;
  sample.reserve(values.total() / static_cast<std::size_t>(step * step) + 1);
  for (int y = 0; y < values.rows; y += step) {
    const auto* v = values.ptr<float>(y);
    const auto* m = mask.ptr<std::uint8_t>(y);
    for (int x = 0; x < values.cols; x += step)
      if (m[x]) sample.push_back(v[x]);
  }
  if (sample.empty()) return 0.0;
  const double centre = medianOf(sample);
  for (auto& s : sample) s = static_cast<float>(std::abs(s - centre));
  return 1.4826 * medianOf(sample);
}

ChangeMap detectChange(const cv::Mat& baseline, const cv::Mat& normalisedFollowUp,
                       const cv::Mat& inside, const cv::Mat& tissue) {
  cv::Mat base;
  baseline.convertTo(base, CV_32F);
  cv::Mat difference = normalisedFollowUp - base;
  cv::medianBlur(difference, difference, kMedianSize);

  ChangeMap map;
  map.noiseSigma = robustSigma(difference, tissue, kNoiseSampleStep);
  map.threshold = std::max(kMinSignificantChange, kNoiseMultiple * map.noiseSigma);

  cv::Mat candidate;
  cv::threshold(difference, candidate, map.threshold / 2.0, 255.0, cv::THRESH_BINARY);
  candidate.convertTo(candidate, CV_8U);
  cv::bitwise_and(candidate, inside, candidate);

  cv::Mat stats, centroids;
  const int count =
      cv::connectedComponentsWithStats(candidate, map.labels, stats, centroids, 8, CV_32S);
  std::vector<double> peak(static_cast<std::size_t>(count), 0.0);
  std::vector<double> sum(static_cast<std::size_t>(count), 0.0);
  for (int y = 0; y < difference.rows; ++y) {
    const auto* d = difference.ptr<float>(y);
    const auto* l = map.labels.ptr<int>(y);
    for (int x = 0; x < difference.cols; ++x) {
      if (!l[x]) continue;
      peak[l[x]] = std::max(peak[l[x]], static_cast<double>(d[x]));
      sum[l[x]] += d[x];
    }
  }

  std::vector<int> kept(static_cast<std::size_t>(count), 0);
  for (int label = 1; label < count; ++label) {
    const int area = stats.at<int>(label, cv::CC_STAT_AREA);
    if (area < kMinLesionPixels || peak[label] < map.threshold) continue;
    ChangeComponent c;
    c.label = label;
    c.area = area;
    c.meanChange = sum[label] / area;
    c.centroidX = centroids.at<double>(label, 0);
    c.centroidY = centroids.at<double>(label, 1);
    map.components.push_back(c);
    kept[label] = 1;
  }

  map.lesionMask = cv::Mat::zeros(baseline.size(), CV_8U);
  for (int y = 0; y < map.labels.rows; ++y) {
    auto* l = map.labels.ptr<int>(y);
    auto* m = map.lesionMask.ptr<std::uint8_t>(y);
    for (int x = 0; x < map.labels.cols; ++x) {
      if (!kept[l[x]]) l[x] = 0;
      m[x] = l[x] ? 255 : 0;
    }
  }
  // Largest first, as a reader scans a lesion list.
  std::stable_sort(
      map.components.begin(), map.components.end(),
      [](const ChangeComponent& a, const ChangeComponent& b) { return a.area > b.area; });
  return map;
}

int markNewLesions(ChangeMap& later, const cv::Mat& earlierLesions) {
  int maxLabel = 0;
  for (const auto& c : later.components) maxLabel = std::max(maxLabel, c.label);
  std::vector<char> overlaps(static_cast<std::size_t>(maxLabel) + 1, 0);
  for (int y = 0; y < later.labels.rows; ++y) {
    const auto* l = later.labels.ptr<int>(y);
    const auto* e = earlierLesions.ptr<std::uint8_t>(y);
    for (int x = 0; x < later.labels.cols; ++x)
      if (l[x] && e[x]) overlaps[l[x]] = 1;
  }
  int fresh = 0;
  for (auto& c : later.components) {
    c.isNew = !overlaps[c.label];
    fresh += c.isNew;
  }
  return fresh;
}

}  // namespace pelk
