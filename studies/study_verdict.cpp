#include "studies/study_verdict.h"

namespace pelk {

std::string_view studyVerdictName(StudyVerdict verdict) {
  switch (verdict) {
    case StudyVerdict::Increasing: return "INCREASING";
    case StudyVerdict::Decreasing: return "DECREASING";
    case StudyVerdict::Stable: break;
  }
  return "STABLE";
}

StudyVerdict studyVerdict(std::int64_t burden1, std::int64_t burden2, int newLesions) {
  if (newLesions > 0) return StudyVerdict::Increasing;
  if (burden1 <= 0) return burden2 > 0 ? StudyVerdict::Increasing : StudyVerdict::Stable;
  // Integer comparisons, so the boundaries 1.40 and 0.35 themselves belong to the change.
  if (5 * burden2 >= 7 * burden1) return StudyVerdict::Increasing;
  if (20 * burden2 <= 7 * burden1) return StudyVerdict::Decreasing;
  return StudyVerdict::Stable;
}

}  // namespace pelk
