#include "tools/validate-progression/acquisition.h"

#include <cmath>

#include <opencv2/imgproc.hpp>

namespace pelk::validation {
namespace {

// A lesion's brightness profile: full contrast inside, falling off over about one pixel.
void addLesions(cv::Mat& scene, const std::vector<Lesion>& lesions, double contrast) {
  cv::Mat layer = cv::Mat::zeros(scene.size(), CV_32F);
  for (const auto& l : lesions) {
    const double ca = std::cos(l.angle), sa = std::sin(l.angle);
    const int r = static_cast<int>(std::ceil(l.radius)) + 2;
    for (int y = std::max(0, static_cast<int>(l.cy) - r);
         y <= std::min(scene.rows - 1, static_cast<int>(l.cy) + r); ++y) {
      for (int x = std::max(0, static_cast<int>(l.cx) - r);
           x <= std::min(scene.cols - 1, static_cast<int>(l.cx) + r); ++x) {
        const double u = (x - l.cx) * ca + (y - l.cy) * sa, v = -(x - l.cx) * sa + (y - l.cy) * ca;
        // Distance outside the ellipse boundary, in pixels along the major axis.
        const double edge = (std::hypot(u / l.radius, v / (l.radius * l.aspect)) - 1.0) * l.radius;
        const double weight = std::clamp(0.5 - edge, 0.0, 1.0);
        float& p = layer.at<float>(y, x);
        p = std::max(p, static_cast<float>(contrast * weight));
      }
    }
  }
  scene += layer;
}

}  // namespace

std::vector<Condition> standardConditions() {
  std::vector<Condition> c(8);
  c[0].name = "clean";
  c[1].name = "shift 1 px";
  c[1].perturbed.shiftX = 1;
  c[2].name = "shift 2 px";
  c[2].perturbed.shiftX = 2;
  c[3].name = "rotation 2 deg";
  c[3].perturbed.rotationDeg = 2;
  c[4].name = "gain x1.05";
  c[4].perturbed.gain = 1.05;
  c[5].name = "gain x0.95";
  c[5].perturbed.gain = 0.95;
  c[6].name = "noise sigma 3";
  c[6].noiseSigma = 3;
  c[7].name = "faint lesion +40";
  c[7].lesionContrast = 40;
  return c;
}

cv::Mat acquire(const Anatomy& anatomy, const std::vector<Lesion>& lesions, double contrast,
                const Acquisition& how, std::mt19937& rng) {
  cv::Mat scene = anatomy.image.clone();
  addLesions(scene, lesions, contrast);
  if (how.shiftX != 0 || how.shiftY != 0 || how.rotationDeg != 0) {
    const cv::Point2f centre((scene.cols - 1) / 2.0f, (scene.rows - 1) / 2.0f);
    cv::Mat m = cv::getRotationMatrix2D(centre, how.rotationDeg, 1.0);
    m.at<double>(0, 2) += how.shiftX;
    m.at<double>(1, 2) += how.shiftY;
    cv::Mat moved;
    cv::warpAffine(scene, moved, m, scene.size(), cv::INTER_CUBIC, cv::BORDER_CONSTANT, 0);
    scene = moved;
  }
  scene *= how.gain;
  if (how.noiseSigma > 0) {
    cv::Mat noise(scene.size(), CV_32F);
    std::normal_distribution<float> gauss(0.0f, static_cast<float>(how.noiseSigma));
    for (auto it = noise.begin<float>(); it != noise.end<float>(); ++it) *it = gauss(rng);
    scene += noise;
  }
  cv::Mat out;
  scene.convertTo(out, CV_8U);  // rounds and saturates to 0 … 255
  return out;
}

std::vector<cv::Mat> acquireSeries(const Anatomy& anatomy, const LesionCase& c,
                                   const Condition& condition, std::mt19937& rng) {
  Acquisition plain;
  plain.noiseSigma = condition.noiseSigma;
  Acquisition perturbed = condition.perturbed;
  perturbed.noiseSigma = condition.noiseSigma;
  // Alternate the direction of motion too, so neither axis nor sign is favoured.
  if (c.index % 4 >= 2) {
    std::swap(perturbed.shiftX, perturbed.shiftY);
    perturbed.shiftY = -perturbed.shiftY;
    perturbed.rotationDeg = -perturbed.rotationDeg;
  }
  const bool firstPerturbed = c.index % 2 == 0;
  std::vector<Lesion> all1 = c.old, all2 = c.old;
  all1.insert(all1.end(), c.followUp1.begin(), c.followUp1.end());
  all2.insert(all2.end(), c.followUp2.begin(), c.followUp2.end());
  const double k = condition.lesionContrast;
  return {acquire(anatomy, c.old, k, plain, rng),
          acquire(anatomy, all1, k, firstPerturbed ? perturbed : plain, rng),
          acquire(anatomy, all2, k, firstPerturbed ? plain : perturbed, rng)};
}

}  // namespace pelk::validation
