#pragma once
#include <random>
#include <string>
#include <vector>

#include <opencv2/core.hpp>

#include "tools/validate-progression/anatomy.h"
#include "tools/validate-progression/lesion_series.h"

namespace pelk::validation {

// How one scan was acquired: position of the head, scanner gain, grey-level noise.
struct Acquisition {
  double shiftX = 0, shiftY = 0;  // pixels
  double rotationDeg = 0;         // about the picture's centre
  double gain = 1.0;
  double noiseSigma = 0.0;
};

// The conditions every case is run under. Each perturbs one follow-up (which one alternates
// from case to case) except noise, which every scan carries, and the faint lesion, which
// changes the lesions themselves.
struct Condition {
  std::string name;
  double lesionContrast = 90;
  Acquisition perturbed;    // applied to the follow-up the case index picks
  double noiseSigma = 0.0;  // on all three scans
};
std::vector<Condition> standardConditions();

// Anatomy plus lesions of `contrast` grey levels, acquired as `how`: rigid motion (cubic
// interpolation), gain, Gaussian noise, rounded and clipped to 8 bits.
cv::Mat acquire(const Anatomy& anatomy, const std::vector<Lesion>& lesions, double contrast,
                const Acquisition& how, std::mt19937& rng);

// The three scans of a case under a condition: baseline, follow-up 1, follow-up 2.
std::vector<cv::Mat> acquireSeries(const Anatomy& anatomy, const LesionCase& c,
                                   const Condition& condition, std::mt19937& rng);

}  // namespace pelk::validation
