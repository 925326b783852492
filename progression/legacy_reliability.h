#pragma once
#include <string>
#include <vector>

#include "progression/robust_tpa.h"

namespace pelk {

// The legacy analysis differences raw grey levels position by position as (2 × (r − s)) mod 256
// and calls anything above 100 bright, so every pixel that got darker by 1 to 77 levels counts
// as change. These are the acquisition differences that break it.
inline constexpr double kLegacyMaxDisplacement = 0.5;  // pixels: edges start to move
inline constexpr double kLegacyMaxTissueChange = 1.0;  // grey levels of typical tissue
inline constexpr double kLegacyMaxScanNoise = 1.0;     // grey levels

// The warnings for one follow-up (numbered 1 or 2); empty when the legacy verdict can be
// trusted as far as alignment, gain and noise go.
std::vector<std::string> legacyWarnings(const FollowUpAlignment& followUp, int number);

}  // namespace pelk
