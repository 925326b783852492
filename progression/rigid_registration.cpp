#include "progression/rigid_registration.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include <opencv2/imgproc.hpp>
#include <opencv2/video/tracking.hpp>

#include "common/io_error.h"

namespace pelk {
namespace {

// Coarse levels stop at this side: ECC needs some structure to lock on to.
constexpr int kSmallestLevelSide = 48;
constexpr int kMaxLevels = 4;
// Below this the scans are not two views of one slice, whatever the optimiser returned.
constexpr double kMinCorrelation = 0.5;

int pyramidLevels(const cv::Mat& image) {
  int levels = 1;
  int side = std::min(image.cols, image.rows);
  while (levels < kMaxLevels && side / 2 >= kSmallestLevelSide) {
    side /= 2;
    ++levels;
  }
  return levels;
}

cv::TermCriteria criteriaForLevel(int level, int levels) {
  // Coarse levels are cheap and do the travelling; the finest level, where one iteration costs
  // as much as all coarser levels together, only polishes and has converged within a few.
  const bool finest = level == 0;
  const int iterations = finest ? 5 : (level == levels - 1 ? 100 : 40);
  return {cv::TermCriteria::COUNT + cv::TermCriteria::EPS, iterations, finest ? 1e-4 : 1e-5};
}

}  // namespace

RigidAlignment alignToBaseline(const cv::Mat& baseline, const cv::Mat& followUp,
                               const char* followUpName) {
  const int levels = pyramidLevels(baseline);
  std::vector<cv::Mat> base{baseline}, follow{followUp};
  for (int i = 1; i < levels; ++i) {
    cv::Mat b, f;
    cv::pyrDown(base.back(), b);
    cv::pyrDown(follow.back(), f);
    base.push_back(b);
    follow.push_back(f);
  }

  cv::Mat warp = cv::Mat::eye(2, 3, CV_32F);
  bool anyConverged = false;
  double correlation = 0.0;
  for (int level = levels - 1; level >= 0; --level) {
    cv::Mat attempt = warp.clone();
    try {
      // A 5-pixel Gaussian inside ECC smooths the gradients; it does not move the optimum.
      correlation = cv::findTransformECC(base[level], follow[level], attempt, cv::MOTION_EUCLIDEAN,
                                         criteriaForLevel(level, levels), cv::noArray(), 5);
      warp = attempt;
      anyConverged = true;
    } catch (const cv::Exception&) {
      // A level that diverges keeps the estimate of the coarser one; the finer levels and the
      // final check decide whether it was good enough.
    }
    if (level > 0) {
      warp.at<float>(0, 2) *= 2.0f;
      warp.at<float>(1, 2) *= 2.0f;
    }
  }
  if (!anyConverged) {
    throw IoError(std::string("Cannot align ") + followUpName +
                  " to the baseline: the registration did not converge");
  }
  if (!(correlation >= kMinCorrelation)) {
    throw IoError(std::string("Cannot align ") + followUpName +
                  " to the baseline: the scans do not show the same slice");
  }

  RigidAlignment out;
  out.warp = warp;
  out.correlation = correlation;
  const double cosA = warp.at<float>(0, 0), sinA = warp.at<float>(1, 0);
  out.rotationDeg = std::atan2(sinA, cosA) * 180.0 / std::numbers::pi;
  // Report the motion of the picture's centre: a rotation about the corner would otherwise
  // show up as a large, misleading translation.
  const double cx = (baseline.cols - 1) / 2.0, cy = (baseline.rows - 1) / 2.0;
  out.shiftX = cosA * cx - sinA * cy + warp.at<float>(0, 2) - cx;
  out.shiftY = sinA * cx + cosA * cy + warp.at<float>(1, 2) - cy;
  return out;
}

void resampleOntoBaseline(const cv::Mat& followUp, const RigidAlignment& alignment,
                          cv::Mat& resampled, cv::Mat& inside) {
  cv::Mat source;
  followUp.convertTo(source, CV_32F);
  const int flags = cv::INTER_LINEAR | cv::WARP_INVERSE_MAP;
  cv::warpAffine(source, resampled, alignment.warp, followUp.size(), flags, cv::BORDER_REPLICATE);
  cv::Mat ones(followUp.size(), CV_8U, cv::Scalar(255));
  cv::warpAffine(ones, inside, alignment.warp, followUp.size(),
                 cv::INTER_NEAREST | cv::WARP_INVERSE_MAP, cv::BORDER_CONSTANT, cv::Scalar(0));
  // Pixels next to the edge of the follow-up's field of view borrow replicated values.
  cv::erode(inside, inside, cv::Mat(), cv::Point(-1, -1), 1);
}

double largestDisplacement(const RigidAlignment& alignment, int width, int height) {
  const cv::Mat& w = alignment.warp;
  double largest = 0.0;
  for (double x : {0.0, width - 1.0}) {
    for (double y : {0.0, height - 1.0}) {
      const double nx = w.at<float>(0, 0) * x + w.at<float>(0, 1) * y + w.at<float>(0, 2);
      const double ny = w.at<float>(1, 0) * x + w.at<float>(1, 1) * y + w.at<float>(1, 2);
      largest = std::max(largest, std::hypot(nx - x, ny - y));
    }
  }
  return largest;
}

}  // namespace pelk
