#include "progression/progression_verdict.h"

#include <gtest/gtest.h>

namespace pelk {
namespace {

constexpr auto kStable = ProgressionVerdict::Stable;
constexpr auto kUp = ProgressionVerdict::Increasing;
constexpr auto kDown = ProgressionVerdict::Decreasing;

TEST(ProgressionVerdictRule, GrowthOfAQuarterOrMoreIsIncreasing) {
  EXPECT_EQ(progressionVerdict(100, 125, 0), kUp);
  EXPECT_EQ(progressionVerdict(100, 124, 0), kStable);
  EXPECT_EQ(progressionVerdict(3, 4, 0), kUp);  // 33%, not rounded down to nothing
}

TEST(ProgressionVerdictRule, AFallOfHalfOrMoreIsDecreasing) {
  EXPECT_EQ(progressionVerdict(100, 50, 0), kDown);
  EXPECT_EQ(progressionVerdict(100, 51, 0), kStable);
  EXPECT_EQ(progressionVerdict(100, 0, 0), kDown);
  // A 28% drop is within the tolerance band.
  EXPECT_EQ(progressionVerdict(100, 72, 0), kStable);
}

TEST(ProgressionVerdictRule, ANewLesionIsIncreasingWhateverTheBurden) {
  EXPECT_EQ(progressionVerdict(1000, 400, 1), kUp);
  EXPECT_EQ(progressionVerdict(1000, 1000, 2), kUp);
}

TEST(ProgressionVerdictRule, NoLesionsAtAllIsStableAndLesionsFromNoneAreIncreasing) {
  EXPECT_EQ(progressionVerdict(0, 0, 0), kStable);
  EXPECT_EQ(progressionVerdict(0, 30, 0), kUp);
}

TEST(ProgressionVerdictRule, BurdensFarBeyondAnyScanDoNotOverflow) {
  EXPECT_EQ(progressionVerdict(1'000'000'000'000LL, 1'250'000'000'000LL, 0), kUp);
}

TEST(ProgressionVerdictRule, NamesAreTheOnesTheJsonCarries) {
  EXPECT_EQ(verdictName(kStable), "STABLE");
  EXPECT_EQ(verdictName(kUp), "INCREASING");
  EXPECT_EQ(verdictName(kDown), "DECREASING");
}

}  // namespace
}  // namespace pelk
