#pragma once
#include <string>
#include <vector>

#include "tools/validate-progression/anatomy.h"

namespace pelk::validation {

// Axial slices through the ventricles of a T1 brain volume (NIfTI), each scaled to 8-bit grey
// levels and centred on a size x size picture. Lesion sites lie inside the brain, away from
// scalp, skull and CSF. Empty when the volume cannot be read.
std::vector<Anatomy> mriSlices(const std::string& niftiPath, int size, int count);

}  // namespace pelk::validation
