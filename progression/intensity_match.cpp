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
  std::vector<std::uint8_t> levels;
  points.reserve(baseline.total() / (kSampleStep * kSampleStep) + 1);
  for (int y = 0; y < baseline.rows; y += kSampleStep) {
    const auto* b = baseline.ptr<std::uint8_t>(y);
    const auto* f = followUp.ptr<float>(y);
    const auto* t = tissue.ptr<std::uint8_t>(y);
    for (int x = 0; x < baseline.cols; x += kSampleStep) {
      if (!t[x] || f[x] >= kSaturated) continue;
      points.emplace_back(static_cast<float>(b[x]), f[x]);
      levels.push_back(b[x]);
    }
  }
  if (points.size() < kMinSamples) {
    throw IoError(std::string("Too little tissue to compare ") + followUpName +
                  " with the baseline");
  }
  cv::Vec4f line;
  // Orthogonal distances suit two scans that are both noisy; Huber weights make large
  // residuals (the lesions) count linearly instead of quadratically.
  cv::fitLine(points, line, cv::DIST_HUBER, 0, 0.01, 0.01);
  IntensityFit fit;
  if (std::abs(line[0]) < 1e-6f || line[1] / line[0] <= 0.0f) {
    throw IoError(std::string("Grey levels of ") + followUpName +
                  " bear no relation to the baseline's");
  }
  fit.gain = line[1] / line[0];
  fit.offset = line[3] - fit.gain * line[2];
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
