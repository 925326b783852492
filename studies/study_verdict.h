#pragma once
#include <cstdint>
#include <string_view>

namespace pelk {

enum class StudyVerdict { Stable, Increasing, Decreasing };

// "STABLE", "INCREASING" or "DECREASING".
std::string_view studyVerdictName(StudyVerdict verdict);

// The volumetric response rule on the burdens of the two follow-ups (any one unit, here voxels of
// the baseline grid): INCREASING when the second is at least 1.40 times the first or a new
// lesion appears, DECREASING when it is at most 0.35 times the first, STABLE otherwise. From no
// burden at all, any burden is new disease.
StudyVerdict studyVerdict(std::int64_t burden1, std::int64_t burden2, int newLesions);

}  // namespace pelk
