#include "progression/intensity_match.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include <opencv2/imgproc.hpp>

#include "common/io_error.h"

namespace pelk {
namespace {

// Every second pixel each way is plenty for two parameters and keeps the fit cheap.
constexpr int kSampleStep = 2;
constexpr int kMinSamples = 200;
// Clipped pixels do not follow a straight line.
constexpr int kSaturated = 250;

int backgroundCeiling(const cv::Mat& baseline) {
  // A tenth of the bright end of the histogram separates air and noise from tissue in any
  // reasonably exposed slice.
  int histogram[256] = {};
  for (int y = 0; y < baseline.rows; ++y) {
    const auto* row = baseline.ptr<std::uint8_t>(y);
    for (int x = 0; x < baseline.cols; ++x) ++histogram[row[x]];
  }
  const long long total = static_cast<long long>(baseline.total());
  long long seen = 0;
  int p99 = 255;
  for (int v = 0; v < 256; ++v) {
    seen += histogram[v];
    if (seen * 100 >= total * 99) {
      p99 = v;
      break;
    }
  }
  return std::max(8, p99 / 10);
}

struct StraightLine {
  double slope = 0.0;
  double intercept = 0.0;
};

// Both scans are noisy, so the line minimises perpendicular distances (total least squares:
// the principal axis of the point cloud); a least-squares fit of one scan on the other would
// flatten the slope by the other's noise. Lesions and other true changes are a minority lying
// far off the line: each round drops the points more than kTrim robust deviations away and
// fits again.
StraightLine trimmedTotalLeastSquares(const std::vector<cv::Point2f>& points) {
  constexpr int kRounds = 4;
  constexpr double kTrim = 3.0;
  StraightLine line;
  std::vector<char> use(points.size(), 1);
  std::vector<float> residuals;
  for (int round = 0; round < kRounds; ++round) {
    double n = 0, sx = 0, sy = 0;
    for (std::size_t i = 0; i < points.size(); ++i) {
      if (!use[i]) continue;
      n += 1;
      sx += points[i].x;
      sy += points[i].y;
    }
    if (n < 2) break;
    const double mx = sx / n, my = sy / n;
    double cxx = 0, cyy = 0, cxy = 0;
    for (std::size_t i = 0; i < points.size(); ++i) {
      if (!use[i]) continue;
      const double dx = points[i].x - mx, dy = points[i].y - my;
      cxx += dx * dx;
      cyy += dy * dy;
      cxy += dx * dy;
    }
    // Direction of the larger eigenvector of [[cxx, cxy], [cxy, cyy]].
    const double angle = 0.5 * std::atan2(2.0 * cxy, cxx - cyy);
    const double ux = std::cos(angle), uy = std::sin(angle);
    if (std::abs(ux) < 1e-9) break;
    line.slope = uy / ux;
    line.intercept = my - line.slope * mx;

    residuals.clear();
    std::vector<float> distance(points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
      distance[i] =
          static_cast<float>(std::abs(-uy * (points[i].x - mx) + ux * (points[i].y - my)));
      if (use[i]) residuals.push_back(distance[i]);
    }
    auto middle = residuals.begin() + static_cast<std::ptrdiff_t>(residuals.size() / 2);
    std::nth_element(residuals.begin(), middle, residuals.end());
    // Half-normal median to standard deviation; a floor keeps noise-free scans from trimming
    // away all but the exact matches.
    const double sigma = std::max(1.4826 * *middle, 0.5);
    for (std::size_t i = 0; i < points.size(); ++i) use[i] = distance[i] <= kTrim * sigma;
  }
  return line;
}

}  // namespace

cv::Mat tissueMask(const cv::Mat& baseline, const cv::Mat& inside) {
  cv::Mat tissue;
  cv::inRange(baseline, cv::Scalar(backgroundCeiling(baseline) + 1), cv::Scalar(kSaturated - 1),
              tissue);
  cv::bitwise_and(tissue, inside, tissue);
  return tissue;
}

IntensityFit fitIntensity(const cv::Mat& baseline, const cv::Mat& followUp, const cv::Mat& tissue,
                          const char* followUpName) {
  std::vector<cv::Point2f> points;
  points.reserve(baseline.total() / (kSampleStep * kSampleStep) + 1);
  for (int y = 0; y < baseline.rows; y += kSampleStep) {
    const auto* b = baseline.ptr<std::uint8_t>(y);
    const auto* f = followUp.ptr<float>(y);
    const auto* t = tissue.ptr<std::uint8_t>(y);
    for (int x = 0; x < baseline.cols; x += kSampleStep) {
      if (!t[x] || f[x] >= kSaturated) continue;
      points.emplace_back(static_cast<float>(b[x]), f[x]);
    }
  }
  if (points.size() < kMinSamples) {
    throw IoError(std::string("Too little tissue to compare ") + followUpName +
                  " with the baseline");
  }
  const StraightLine line = trimmedTotalLeastSquares(points);
  if (!(line.slope > 0.0) || !std::isfinite(line.slope) || !std::isfinite(line.intercept)) {
    throw IoError(std::string("Grey levels of ") + followUpName +
                  " bear no relation to the baseline's");
  }
  IntensityFit fit;
  fit.gain = line.slope;
  fit.offset = line.intercept;
  std::vector<float> levels(points.size());
  for (std::size_t i = 0; i < points.size(); ++i) levels[i] = points[i].x;
  auto middle = levels.begin() + static_cast<std::ptrdiff_t>(levels.size() / 2);
  std::nth_element(levels.begin(), middle, levels.end());
  fit.tissueLevel = *middle;
  return fit;
}

cv::Mat normaliseIntensity(const cv::Mat& followUp, const IntensityFit& fit) {
  cv::Mat out;
  followUp.convertTo(out, CV_32F, 1.0 / fit.gain, -fit.offset / fit.gain);
  return out;
}

}  // namespace pelk
