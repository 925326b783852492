#pragma once
#include <string>

#include "studies/study_volume.h"

namespace pelk::test {

// A small phantom head, 48 x 48 x 32 voxels of 2 mm, the same on every call.
StudyVolume smallHead();

// Writes `volume` as a NIfTI-1 file (.nii or .nii.gz, by the name).
void writeStudy(const std::string& path, const StudyVolume& volume);

}  // namespace pelk::test
