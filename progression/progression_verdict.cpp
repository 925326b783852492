#include "progression/progression_verdict.h"

namespace pelk {

std::string_view verdictName(ProgressionVerdict verdict) {
  switch (verdict) {
    case ProgressionVerdict::Increasing: return "INCREASING";
    case ProgressionVerdict::Decreasing: return "DECREASING";
    case ProgressionVerdict::Stable: break;
  }
  return "STABLE";
}

ProgressionVerdict progressionVerdict(long long burden1, long long burden2, int newLesions) {
  if (newLesions > 0) return ProgressionVerdict::Increasing;
  if (burden1 <= 0)
    return burden2 > 0 ? ProgressionVerdict::Increasing : ProgressionVerdict::Stable;
  // Integer comparisons: the 25% and 50% boundaries themselves belong to the change.
  if (4 * burden2 >= 5 * burden1) return ProgressionVerdict::Increasing;
  if (2 * burden2 <= burden1) return ProgressionVerdict::Decreasing;
  return ProgressionVerdict::Stable;
}

}  // namespace pelk
