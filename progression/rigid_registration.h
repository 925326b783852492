#pragma once
#include <opencv2/core.hpp>

namespace pelk {

// Where a follow-up lies against the baseline: the rigid motion that carries baseline pixel
// coordinates into the follow-up (x' = R x + t, rotation about the picture's origin, the
// top-left corner), and how well the two match after it.
struct RigidAlignment {
  cv::Mat warp;         // 2 x 3, CV_32F, in OpenCV's inverse-map convention
  double shiftX = 0.0;  // pixels, of the picture's centre
  double shiftY = 0.0;
  double rotationDeg = 0.0;  // clockwise as the picture is shown (y runs down)
  double correlation = 0.0;  // enhanced correlation coefficient after alignment, -1 … 1
};

// Rigid (translation and rotation) sub-pixel alignment of `followUp` to `baseline`, both CV_8U
// of one size, by maximising the enhanced correlation coefficient coarse to fine over a small
// image pyramid. The coefficient ignores gain and offset, so scans of different brightness
// align as well as equal ones. Throws IoError when no level converges or the aligned scans
// still do not resemble each other (another patient or slice).
RigidAlignment alignToBaseline(const cv::Mat& baseline, const cv::Mat& followUp,
                               const char* followUpName);

// The follow-up resampled onto the baseline's grid (CV_32F), and the mask of baseline pixels
// whose source lies wholly inside the follow-up.
void resampleOntoBaseline(const cv::Mat& followUp, const RigidAlignment& alignment,
                          cv::Mat& resampled, cv::Mat& inside);

// The largest displacement the motion gives any pixel of a width x height picture.
double largestDisplacement(const RigidAlignment& alignment, int width, int height);

}  // namespace pelk
