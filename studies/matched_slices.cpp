#include "studies/matched_slices.h"

#include "importers/grey_slice.h"
#include "importers/radiological_layout.h"
#include "importers/scan_volume.h"

namespace pelk {
namespace {

ScanVolume asScan(const StudyVolume& grid, std::vector<float> values) {
  ScanVolume scan;
  scan.format = "study";
  scan.size = grid.size;
  scan.spacingMm = grid.spacingMm;
  scan.axes = std::array<PatientDirection, 3>{grid.axes[0], grid.axes[1], grid.axes[2]};
  scan.sliceAxis = headFootAxis(*scan.axes);
  scan.values = std::move(values);
  return scan;
}

NominalPicture cut(const ScanVolume& scan, std::int64_t index, const IntensityWindow& window) {
  const SliceLayout layout = radiologicalLayout(scan.axes, scan.sliceAxis);
  return fitToNominal(greySlice(scan, index, layout, window));
}

}  // namespace

int studySliceAxis(const StudyVolume& grid) {
  return headFootAxis({grid.axes[0], grid.axes[1], grid.axes[2]});
}

NominalPicture nominalStudySlice(const StudyVolume& grid, const std::vector<float>& values,
                                 std::int64_t index, const IntensityWindow& window) {
  return cut(asScan(grid, values), index, window);
}

std::vector<std::uint8_t> nominalMaskSlice(const StudyVolume& grid,
                                           const std::vector<std::int32_t>& labels,
                                           std::int64_t index) {
  std::vector<float> mask(labels.size());
  for (std::size_t i = 0; i < labels.size(); ++i) mask[i] = labels[i] ? 255.0f : 0.0f;
  const NominalPicture picture =
      cut(asScan(grid, std::move(mask)), index, IntensityWindow{0.0, 255.0});
  std::vector<std::uint8_t> out(picture.pixels.size());
  for (std::size_t i = 0; i < out.size(); ++i) out[i] = picture.pixels[i] >= 128;
  return out;
}

}  // namespace pelk
