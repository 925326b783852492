#pragma once
#include <cstdint>
#include <vector>

#include "importers/intensity_window.h"
#include "importers/radiological_layout.h"
#include "importers/scan_volume.h"

namespace pelk {

// One slice as it will be shown, before resampling: grey levels 0..255 (unrounded, so the
// resampling rounds only once), top row first.
struct GreySlice {
  int width = 0;
  int height = 0;
  double spacingAcrossMm = 1.0;  // between neighbouring columns
  double spacingDownMm = 1.0;    // between neighbouring rows
  std::vector<float> grey;
};

// Cuts slice `index` across the volume's slice axis, lays it out as `layout` says and maps it
// through the window (inverted for MONOCHROME1 scans). Throws IoError for an index outside the
// volume.
GreySlice greySlice(const ScanVolume& volume, std::int64_t index, const SliceLayout& layout,
                    const IntensityWindow& window);

}  // namespace pelk
