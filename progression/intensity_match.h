#pragma once
#include <opencv2/core.hpp>

namespace pelk {

// follow-up ≈ gain × baseline + offset over tissue that did not change.
struct IntensityFit {
  double gain = 1.0;
  double offset = 0.0;
  double tissueLevel = 0.0;  // median baseline grey level of the tissue the fit used
};

// The baseline pixels that count as tissue: clearly above the background and below
// saturation, inside `inside` (CV_8U, non-zero where the resampled follow-up is valid).
cv::Mat tissueMask(const cv::Mat& baseline, const cv::Mat& inside);

// A robust straight-line fit of the aligned follow-up (CV_32F) against the baseline (CV_8U)
// over `tissue`: lesions and other true changes are a minority of the tissue and are trimmed
// away, so the line follows the unchanged majority. Throws IoError when there is too little
// tissue to fit or the grey levels do not rise together.
IntensityFit fitIntensity(const cv::Mat& baseline, const cv::Mat& followUp, const cv::Mat& tissue,
                          const char* followUpName);

// The follow-up brought to the baseline's grey scale: (followUp − offset) / gain.
cv::Mat normaliseIntensity(const cv::Mat& followUp, const IntensityFit& fit);

}  // namespace pelk
