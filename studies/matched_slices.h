#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "importers/intensity_window.h"
#include "importers/nominal_resample.h"
#include "studies/study_volume.h"

namespace pelk {

// The axis of the baseline grid that slices are cut across: the one nearest head to foot, so the
// matched slices are axial as the importer's are.
int studySliceAxis(const StudyVolume& grid);

// Slice `index` across studySliceAxis of `values` (on `grid`'s grid) as the importer lays out a
// scan: radiological view, fitted into the nominal 512 × 512 picture through `window`. Throws
// IoError for an index outside the grid.
NominalPicture nominalStudySlice(const StudyVolume& grid, const std::vector<float>& values,
                                 std::int64_t index, const IntensityWindow& window);

// The same slice of a 0/1 mask, as 0/1 pixels of the nominal picture.
std::vector<std::uint8_t> nominalMaskSlice(const StudyVolume& grid,
                                           const std::vector<std::int32_t>& labels,
                                           std::int64_t index);

}  // namespace pelk
