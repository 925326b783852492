#pragma once
#include <random>
#include <string>
#include <vector>

#include <opencv2/core.hpp>

#include "progression/progression_verdict.h"
#include "tools/validate-progression/anatomy.h"

namespace pelk::validation {

// An elliptic lesion: centre, semi-axes (radius, radius × aspect) and orientation.
struct Lesion {
  double cx = 0, cy = 0, radius = 0, aspect = 1, angle = 0;
  Lesion scaled(double factor) const {
    Lesion l = *this;
    l.radius *= factor;
    return l;
  }
};

// What happens between the two follow-ups.
enum class Course { Vanish, Shrink, Stay, Grow, New };
const char* courseName(Course course);

// One simulated patient: lesions present in all three scans (old, no change to report), and
// those of each follow-up; the truth is the verdict rule applied to the true lesion areas.
struct LesionCase {
  int index = 0;
  Course course = Course::Stay;
  std::vector<Lesion> old;
  std::vector<Lesion> followUp1;
  std::vector<Lesion> followUp2;
  long long trueBurden1 = 0;
  long long trueBurden2 = 0;
  int trueNewLesions = 0;
  ProgressionVerdict truth = ProgressionVerdict::Stable;
};

// Pixels inside a lesion: centre within the ellipse.
cv::Mat lesionMask(const std::vector<Lesion>& lesions, cv::Size size);

// Case number `index` on `anatomy`: the five courses in turn, one to three lesions of radius 3
// to 12 pixels, every third case with an old lesion besides. A draw whose burden ratio falls
// within 15% of a boundary of the rule is drawn again: there the true answer hangs on a pixel
// or two of lesion border, which no method measures.
LesionCase lesionCase(const Anatomy& anatomy, int index, std::mt19937& rng);

}  // namespace pelk::validation
