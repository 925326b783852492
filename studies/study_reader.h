#pragma once
#include <string>

#include "studies/study_volume.h"

namespace pelk {

// The largest study accepted: 1024 voxels a side, and at most 2 GB, on disk or as 4-byte values
// in memory. Beyond them a lying header could ask for more memory than the machine has.
inline constexpr std::int64_t kMaxStudySide = 1024;
inline constexpr std::int64_t kMaxStudyBytes = std::int64_t{2} << 30;

// Reads a study: a NIfTI-1/NIfTI-2 volume (.nii, .nii.gz), a folder holding the files of one
// DICOM series, or one multi-frame DICOM file. The volume keeps its physical geometry. Throws
// IoError with a clear reason for anything that is not one 3-D volume of finite values with
// positive spacing within the limits above.
StudyVolume readStudy(const std::string& path);

// The checks every source shares (size, spacing, finite values); `path` names it in the error.
void checkStudy(const StudyVolume& volume, const std::string& path);

}  // namespace pelk
