#pragma once
#include <vector>

#include <opencv2/core.hpp>

namespace pelk {

// One connected region of significant positive change (the follow-up brighter than the
// baseline).
struct ChangeComponent {
  int label = 0;            // in ChangeMap::labels
  long long area = 0;       // pixels
  double meanChange = 0.0;  // grey levels, on the baseline's scale
  double centroidX = 0.0;   // picture coordinates: x from the left, y from the top
  double centroidY = 0.0;
  bool isNew = false;  // overlaps no lesion of the earlier follow-up
};

struct ChangeMap {
  double noiseSigma = 0.0;  // robust noise estimate of the filtered difference
  double threshold = 0.0;   // grey levels a component must reach somewhere
  cv::Mat labels;           // CV_32S, 0 = no significant change
  cv::Mat lesionMask;       // CV_8U, 255 on the pixels of `components`
  std::vector<ChangeComponent> components;

  long long burden() const;
};

// Never call a change a lesion below this many grey levels, however quiet the scans: under it,
// interpolation and partial-volume residue at tissue borders are as large as the signal.
inline constexpr double kMinSignificantChange = 12.0;
// Multiples of the robust noise estimate a component's peak must reach.
inline constexpr double kNoiseMultiple = 5.0;
// Smaller specks are noise or residue of the registration, not lesions.
inline constexpr int kMinLesionPixels = 12;

// The signed difference normalised follow-up − baseline (no wrap-around), median-filtered,
// thresholded by hysteresis: a component is the connected set of pixels above half the
// threshold that reaches the full threshold somewhere and covers at least kMinLesionPixels.
// `inside` masks the pixels the follow-up covers; `tissue` the pixels the noise is measured on.
ChangeMap detectChange(const cv::Mat& baseline, const cv::Mat& normalisedFollowUp,
                       const cv::Mat& inside, const cv::Mat& tissue);

// 1.4826 × the median absolute deviation of `values` under `mask`, sampled every `step` pixels.
double robustSigma(const cv::Mat& values, const cv::Mat& mask, int step);

// Marks the components of `later` that share no pixel with `earlierLesions` as new and
// returns how many there are.
int markNewLesions(ChangeMap& later, const cv::Mat& earlierLesions);

}  // namespace pelk
