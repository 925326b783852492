#pragma once
#include <vector>

#include "tools/validate-progression/anatomy.h"

namespace pelk::validation {

// The head slices make-samples draws its sample scans from (seeds 1 … count, no lesion), with
// lesion sites inside the brain and centred on tissue.
std::vector<Anatomy> sampleHeadSlices(int count);

}  // namespace pelk::validation
