#pragma once
#include <string>

#include "studies/study_volume.h"

namespace pelk {

// The bytes of an uncompressed single-file NIfTI-1 image of the volume (32-bit reals), its
// geometry in both the qform and the sform.
std::string niftiBytes(const StudyVolume& volume);

// The bytes of a gzipped single-file NIfTI-1 image of the volume (32-bit reals), its geometry in
// both the qform and the sform, so any reader places it where the workbench does.
std::string niftiGzBytes(const StudyVolume& volume);

// Writes niftiGzBytes to `path` whole or not at all. Throws IoError.
void writeNiftiGz(const std::string& path, const StudyVolume& volume);

}  // namespace pelk
