#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "importers/intensity_window.h"

namespace pelk {

// A direction in patient space, in the DICOM convention: +x towards the patient's left,
// +y towards the back (posterior), +z towards the head (superior). NIfTI's RAS space is
// converted into it by negating x and y, so the orientation code has one frame to reason in.
using PatientDirection = std::array<double, 3>;

// One scan as read from its file: a stack of 2-D pictures, values already through the file's
// own rescale (DICOM slope/intercept, NIfTI scl_slope/scl_inter).
struct ScanVolume {
  std::string format;  // "DICOM", "NIfTI-1" or "NIfTI-2"
  // Voxel counts along the three stored axes; axis 0 varies fastest in `values`.
  std::array<std::int64_t, 3> size{0, 0, 0};
  // Distance between neighbouring voxels along each axis, in millimetres.
  std::array<double, 3> spacingMm{1.0, 1.0, 1.0};
  // True when the file gave no usable in-plane spacing and 1 mm was assumed.
  bool spacingAssumed = false;
  // Where each stored axis points in the patient; empty when the file does not say.
  std::optional<std::array<PatientDirection, 3>> axes;
  // The stored axis that slices are taken across (the frame axis for DICOM, the axis nearest
  // head-to-foot for NIfTI).
  int sliceAxis = 2;
  std::vector<float> values;
  // The display window the file itself carries, if any.
  std::optional<IntensityWindow> ownWindow;
  // DICOM MONOCHROME1: the lowest value is shown white, so the grey levels are inverted.
  bool invertGrey = false;

  std::int64_t voxelCount() const { return size[0] * size[1] * size[2]; }
  std::int64_t sliceCount() const { return size[static_cast<std::size_t>(sliceAxis)]; }
};

}  // namespace pelk
