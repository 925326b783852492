#pragma once
#include <string>

#include <opencv2/core.hpp>

namespace pelk::validation {

// A lesion-free slice to build a series on: grey levels as reals (CV_32F, 0 … 255) and the
// places where a lesion centre may go with room to grow (CV_8U, non-zero there).
struct Anatomy {
  std::string name;
  cv::Mat image;
  cv::Mat lesionSites;
};

// The largest lesion radius any case grows to; sites keep this much brain around them.
inline constexpr int kMaxLesionRadius = 20;

// A synthetic axial head slice of size x size: scalp and bright skull ring, a thin CSF layer,
// folded cortex, white matter, two ventricles and a smooth tissue texture; `seed` varies the
// folds and texture.
Anatomy syntheticHeadSlice(int size, unsigned seed);

}  // namespace pelk::validation
