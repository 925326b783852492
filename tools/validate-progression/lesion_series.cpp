#include "tools/validate-progression/lesion_series.h"

#include <cmath>
#include <numbers>
#include <random>
#include <stdexcept>

#include <opencv2/imgproc.hpp>

namespace pelk::validation {
namespace {

constexpr double kRadii[] = {3, 4, 5, 6, 8, 10, 12};
constexpr double kGap = 6;  // pixels between lesions, after any growth

struct Draw {
  std::mt19937 rng;
  double uniform(double lo, double hi) {
    return std::uniform_real_distribution<double>(lo, hi)(rng);
  }
  int integer(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }
};

bool placeLesion(Draw& draw, const cv::Mat& sites, std::vector<Lesion>& taken, double radius,
                 double reserve, Lesion& out) {
  for (int attempt = 0; attempt < 200; ++attempt) {
    const int x = draw.integer(0, sites.cols - 1), y = draw.integer(0, sites.rows - 1);
    if (!sites.at<std::uint8_t>(y, x)) continue;
    bool clear = true;
    for (const auto& t : taken)
      if (std::hypot(t.cx - x, t.cy - y) < t.radius * 1.7 + reserve + kGap) clear = false;
    if (!clear) continue;
    out = {static_cast<double>(x), static_cast<double>(y), radius, draw.uniform(0.7, 1.0),
           draw.uniform(0, std::numbers::pi)};
    taken.push_back(out);
    return true;
  }
  return false;
}

double radius(Draw& draw) { return kRadii[draw.integer(0, std::size(kRadii) - 1)]; }

bool ambiguous(long long b1, long long b2) {
  if (b1 == 0) return false;
  const double ratio = static_cast<double>(b2) / static_cast<double>(b1);
  return (ratio > 1.25 / 1.15 && ratio < 1.25 * 1.15) || (ratio > 0.5 / 1.15 && ratio < 0.5 * 1.15);
}

bool buildCase(Draw& draw, const Anatomy& anatomy, LesionCase& c) {
  const cv::Mat& sites = anatomy.lesionSites;
  std::vector<Lesion> taken;
  Lesion l;
  if (c.index % 3 == 0) {
    if (!placeLesion(draw, sites, taken, radius(draw), 2 * 12, l)) return false;
    c.old.push_back(l);
  }
  const bool noLesions = c.course == Course::Stay && c.index % 6 == 2;
  const int count = noLesions ? 0 : draw.integer(1, 3);
  for (int i = 0; i < count; ++i) {
    if (!placeLesion(draw, sites, taken, radius(draw), 2 * 12, l)) return false;
    c.followUp1.push_back(l);
  }
  const bool mild = (c.index / 5) % 2 == 1;
  switch (c.course) {
    case Course::Vanish: {
      // At least one lesion goes; the rest stay as they were.
      const int gone = draw.integer(1, count);
      for (int i = gone; i < count; ++i) c.followUp2.push_back(c.followUp1[i]);
      break;
    }
    case Course::Shrink: {
      const double f = mild ? draw.uniform(0.86, 0.95) : draw.uniform(0.45, 0.6);
      for (const auto& x : c.followUp1) c.followUp2.push_back(x.scaled(f));
      break;
    }
    case Course::Stay:
      for (const auto& x : c.followUp1) c.followUp2.push_back(x.scaled(draw.uniform(0.97, 1.03)));
      break;
    case Course::Grow: {
      const double f = mild ? draw.uniform(1.0, 1.04) : draw.uniform(1.25, 1.6);
      for (const auto& x : c.followUp1) c.followUp2.push_back(x.scaled(f));
      break;
    }
    case Course::New:
      for (const auto& x : c.followUp1) c.followUp2.push_back(x.scaled(draw.uniform(0.97, 1.03)));
      if (!placeLesion(draw, sites, taken, draw.uniform(3, 6), 12, l)) return false;
      c.followUp2.push_back(l);
      break;
  }
  const cv::Size size = sites.size();
  const cv::Mat m1 = lesionMask(c.followUp1, size), m2 = lesionMask(c.followUp2, size);
  c.trueBurden1 = cv::countNonZero(m1);
  c.trueBurden2 = cv::countNonZero(m2);
  c.trueNewLesions = 0;
  for (const auto& x : c.followUp2) {
    cv::Mat overlap;
    cv::bitwise_and(lesionMask({x}, size), m1, overlap);
    c.trueNewLesions += cv::countNonZero(overlap) == 0;
  }
  c.truth = progressionVerdict(c.trueBurden1, c.trueBurden2, c.trueNewLesions);
  return c.trueNewLesions > 0 || !ambiguous(c.trueBurden1, c.trueBurden2);
}

}  // namespace

const char* courseName(Course course) {
  switch (course) {
    case Course::Vanish: return "vanish";
    case Course::Shrink: return "shrink";
    case Course::Stay: return "stay";
    case Course::Grow: return "grow";
    case Course::New: return "new";
  }
  return "?";
}

cv::Mat lesionMask(const std::vector<Lesion>& lesions, cv::Size size) {
  cv::Mat mask = cv::Mat::zeros(size, CV_8U);
  for (const auto& l : lesions) {
    const double ca = std::cos(l.angle), sa = std::sin(l.angle);
    const int r = static_cast<int>(std::ceil(l.radius)) + 1;
    for (int y = std::max(0, static_cast<int>(l.cy) - r);
         y <= std::min(size.height - 1, static_cast<int>(l.cy) + r); ++y) {
      for (int x = std::max(0, static_cast<int>(l.cx) - r);
           x <= std::min(size.width - 1, static_cast<int>(l.cx) + r); ++x) {
        const double u = (x - l.cx) * ca + (y - l.cy) * sa, v = -(x - l.cx) * sa + (y - l.cy) * ca;
        if (std::hypot(u / l.radius, v / (l.radius * l.aspect)) <= 1.0)
          mask.at<std::uint8_t>(y, x) = 255;
      }
    }
  }
  return mask;
}

LesionCase lesionCase(const Anatomy& anatomy, int index, std::mt19937& rng) {
  Draw draw{rng};
  for (int attempt = 0; attempt < 1000; ++attempt) {
    LesionCase c;
    c.index = index;
    c.course = static_cast<Course>(index % 5);
    if (buildCase(draw, anatomy, c)) {
      rng = draw.rng;
      return c;
    }
  }
  throw std::runtime_error("cannot place the lesions of case " + std::to_string(index) + " on " +
                           anatomy.name);
}

}  // namespace pelk::validation
