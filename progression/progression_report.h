#pragma once
#include <string>

#include "progression/robust_tpa.h"

namespace pelk {

// The content of "progression.json": the verdict, both burdens in pixels (and in mm² where the
// baseline carries its spacing, otherwise null), the number of new lesions, per follow-up its
// alignment, gain and legacy warnings, and every lesion.
std::string progressionJson(const RobustTpaResult& result);

// The content of "progression.txt": the results section followed by the lesion table, CR LF
// line ends.
std::string progressionText(const RobustTpaResult& result);

}  // namespace pelk
