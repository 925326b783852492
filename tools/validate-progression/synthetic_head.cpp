#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

#include <opencv2/imgproc.hpp>

#include "tools/validate-progression/anatomy.h"

namespace pelk::validation {
namespace {

// 1 well inside `edge`, 0 well outside, a linear ramp about one pixel wide across it.
double inside(double rho, double edge, double pixel) {
  return std::clamp((edge - rho) / pixel + 0.5, 0.0, 1.0);
}

constexpr double kScalp = 95, kSkull = 215, kCsf = 35, kGrey = 110, kWhite = 155;

}  // namespace

Anatomy syntheticHeadSlice(int size, unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> phase(0, 2 * std::numbers::pi);
  const double c = (size - 1) / 2.0;
  const double ax = 0.40 * size, ay = 0.46 * size;  // head semi-axes
  const double pixel = 1.0 / ax;
  double foldPhase[3], texPhase[6];
  for (auto& p : foldPhase) p = phase(rng);
  for (auto& p : texPhase) p = phase(rng);

  Anatomy a;
  a.name = "synthetic head " + std::to_string(seed);
  a.image = cv::Mat(size, size, CV_32F);
  a.lesionSites = cv::Mat::zeros(size, size, CV_8U);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const double dx = (x - c) / ax, dy = (y - c) / ay;
      const double rho = std::hypot(dx, dy);
      const double theta = std::atan2(dy, dx);
      // Sulci: the grey/white border folds in and out around the brain.
      const double folds = 0.035 * std::sin(14 * theta + foldPhase[0]) +
                           0.02 * std::sin(23 * theta + foldPhase[1]) +
                           0.01 * std::sin(37 * theta + foldPhase[2]);
      // Ventricles: two crescents either side of the midline.
      const double vx = std::abs(dx) - 0.09, vy = dy + 0.05;
      const double ventricle = std::hypot(vx / 0.06, vy / 0.22);

      double v = 0;
      v += kScalp * (inside(rho, 1.0, pixel) - inside(rho, 0.965, pixel));
      v += kSkull * (inside(rho, 0.965, pixel) - inside(rho, 0.92, pixel));
      v += kCsf * (inside(rho, 0.92, pixel) - inside(rho, 0.90, pixel));
      const double brain = inside(rho, 0.90, pixel);
      const double white = inside(rho, 0.74 + folds, pixel);
      const double tex =
          1.0 + 0.04 * std::sin(x * 0.05 + texPhase[0]) * std::sin(y * 0.043 + texPhase[1]) +
          0.03 * std::sin(x * 0.013 + y * 0.021 + texPhase[2]) +
          0.02 * std::sin(x * 0.11 + texPhase[3]) * std::cos(y * 0.097 + texPhase[4]);
      double tissue = kGrey * (brain - white) + kWhite * white;
      const double vent = inside(ventricle, 1.0, 1.0 / (0.06 * ax));
      tissue = tissue * (1 - vent) + kCsf * vent * brain;
      v += tissue * tex;
      a.image.at<float>(y, x) = static_cast<float>(v);
      if (rho < 0.70 && ventricle > 1.6) a.lesionSites.at<std::uint8_t>(y, x) = 255;
    }
  }
  cv::erode(a.lesionSites, a.lesionSites,
            cv::getStructuringElement(cv::MORPH_ELLIPSE,
                                      {2 * kMaxLesionRadius + 1, 2 * kMaxLesionRadius + 1}));
  return a;
}

}  // namespace pelk::validation
