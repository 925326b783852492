#include "progression/legacy_reliability.h"

#include <cmath>

#include "common/format.h"

namespace pelk {

std::vector<std::string> legacyWarnings(const FollowUpAlignment& f, int number) {
  std::vector<std::string> warnings;
  const std::string who = "Follow-up " + std::to_string(number);
  if (f.largestDisplacement >= kLegacyMaxDisplacement) {
    warnings.push_back(who + " is misaligned by up to " + realText(f.largestDisplacement, 0, 2) +
                       " pixels: the legacy difference image reads moved tissue borders as"
                       " change.");
  }
  if (std::abs(f.tissueChange) >= kLegacyMaxTissueChange) {
    warnings.push_back(who + " is " + realText(std::abs(f.tissueChange), 0, 1) + " grey levels " +
                       (f.tissueChange < 0 ? "darker" : "brighter") +
                       " than the baseline over tissue (gain " + realText(f.gain, 0, 3) +
                       "): the legacy analysis does not normalise intensities.");
  }
  if (f.scanNoise >= kLegacyMaxScanNoise) {
    warnings.push_back(who + " has grey-level noise of about " + realText(f.scanNoise, 0, 1) +
                       ": the legacy difference image reads pixels darkened by noise as"
                       " bright change.");
  }
  return warnings;
}

}  // namespace pelk
