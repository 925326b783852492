#include "tools/validate-progression/sample_heads.h"

#include <opencv2/imgproc.hpp>

#include "tools/synthetic_head.h"

namespace pelk::validation {
namespace {

cv::Mat disk(int radius) {
  return cv::getStructuringElement(cv::MORPH_ELLIPSE, {2 * radius + 1, 2 * radius + 1});
}

// Scalp, skull and the CSF under it are about this thick on the sample heads.
constexpr int kSkullMargin = 40;
constexpr double kTissueLevel = 80;

}  // namespace

std::vector<Anatomy> sampleHeadSlices(int count) {
  std::vector<Anatomy> slices;
  for (int seed = 1; seed <= count; ++seed) {
    std::vector<std::uint8_t> pixels =
        syntheticHead(static_cast<std::uint32_t>(seed), std::nullopt);
    const cv::Mat grey(kSampleSize, kSampleSize, CV_8U, pixels.data());
    Anatomy a;
    a.name = "sample head " + std::to_string(seed);
    grey.convertTo(a.image, CV_32F);
    cv::Mat head, tissue;
    cv::threshold(grey, head, 20, 255, cv::THRESH_BINARY);
    cv::morphologyEx(head, head, cv::MORPH_CLOSE, disk(7));
    cv::erode(head, head, disk(kSkullMargin + kMaxLesionRadius));
    cv::threshold(grey, tissue, kTissueLevel, 255, cv::THRESH_BINARY);
    cv::bitwise_and(head, tissue, a.lesionSites);
    if (cv::countNonZero(a.lesionSites) > 0) slices.push_back(a);
  }
  return slices;
}

}  // namespace pelk::validation
