#pragma once
#include <cstdint>
#include <vector>

#include "importers/grey_slice.h"

namespace pelk {

// The side of the nominal scan bitmap every analysis expects.
inline constexpr int kNominalSide = 512;

// A 512 x 512 grey picture, top row first, with square pixels of `spacingMm`.
struct NominalPicture {
  std::vector<std::uint8_t> pixels;
  double spacingMm = 1.0;
};

// Scales the slice by bilinear interpolation so its longer physical side fills 512 pixels,
// keeping the true aspect ratio from the pixel spacing, and centres it; the rest is 0. An output
// pixel belongs to the slice when its centre lies inside the slice's extent; near the edges the
// nearest row or column stands in for the missing neighbour.
NominalPicture fitToNominal(const GreySlice& slice);

}  // namespace pelk
