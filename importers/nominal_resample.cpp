#include "importers/nominal_resample.h"

#include <algorithm>
#include <cmath>

namespace pelk {
namespace {

// Where each output column (or row) samples the slice: the first of the two neighbours, the
// weight of the second, or no sample at all for the padding.
struct Tap {
  bool inside = false;
  int first = 0;
  int second = 0;
  float weight = 0.0f;
};

std::vector<Tap> taps(int count, double pixelsPerMm, double spacingMm) {
  const double extent = count * spacingMm * pixelsPerMm;  // in output pixels
  const double offset = (kNominalSide - extent) / 2.0;
  std::vector<Tap> result(kNominalSide);
  for (int out = 0; out < kNominalSide; ++out) {
    const double centre = out + 0.5 - offset;
    if (centre < 0.0 || centre >= extent) continue;
    const double at = std::clamp(centre / (spacingMm * pixelsPerMm) - 0.5, 0.0, count - 1.0);
    const int first = static_cast<int>(std::floor(at));
    result[static_cast<std::size_t>(out)] = {true, first, std::min(first + 1, count - 1),
                                             static_cast<float>(at - first)};
  }
  return result;
}

}  // namespace

NominalPicture fitToNominal(const GreySlice& slice) {
  const double width = slice.width * slice.spacingAcrossMm;
  const double height = slice.height * slice.spacingDownMm;
  const double pixelsPerMm = kNominalSide / std::max(width, height);
  const auto across = taps(slice.width, pixelsPerMm, slice.spacingAcrossMm);
  const auto down = taps(slice.height, pixelsPerMm, slice.spacingDownMm);

  NominalPicture picture;
  picture.spacingMm = 1.0 / pixelsPerMm;
  picture.pixels.assign(static_cast<std::size_t>(kNominalSide) * kNominalSide, 0);
  const auto at = [&](int row, int col) {
    return slice.grey[static_cast<std::size_t>(row) * static_cast<std::size_t>(slice.width) +
                      static_cast<std::size_t>(col)];
  };
  for (int y = 0; y < kNominalSide; ++y) {
    const Tap& v = down[static_cast<std::size_t>(y)];
    if (!v.inside) continue;
    for (int x = 0; x < kNominalSide; ++x) {
      const Tap& h = across[static_cast<std::size_t>(x)];
      if (!h.inside) continue;
      const float top =
          at(v.first, h.first) + h.weight * (at(v.first, h.second) - at(v.first, h.first));
      const float bottom =
          at(v.second, h.first) + h.weight * (at(v.second, h.second) - at(v.second, h.first));
      const float level = std::clamp(top + v.weight * (bottom - top), 0.0f, 255.0f);
      picture.pixels[static_cast<std::size_t>(y) * kNominalSide + static_cast<std::size_t>(x)] =
          static_cast<std::uint8_t>(std::lround(level));
    }
  }
  return picture;
}

}  // namespace pelk
