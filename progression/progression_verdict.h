#pragma once
#include <string_view>

namespace pelk {

enum class ProgressionVerdict { Stable, Increasing, Decreasing };

// "STABLE", "INCREASING" or "DECREASING".
std::string_view verdictName(ProgressionVerdict verdict);

// The response-assessment rule on the lesion burdens (total lesion area, any unit) of the two
// follow-ups: INCREASING when the burden grows by 25% or more or a new lesion appears,
// DECREASING when it falls by 50% or more, STABLE otherwise. A first burden of 0 with a second
// above 0 can only be new lesions, so it counts as INCREASING even if none is reported.
ProgressionVerdict progressionVerdict(long long burden1, long long burden2, int newLesions);

}  // namespace pelk
