#include <gtest/gtest.h>

#include "studies/study_verdict.h"

namespace pelk {
namespace {

struct VerdictCase {
  std::int64_t burden1;
  std::int64_t burden2;
  int newLesions;
  StudyVerdict expected;
};

TEST(StudyVerdict, FollowsTheVolumetricResponseRule) {
  const VerdictCase cases[] = {
      {100, 140, 0, StudyVerdict::Increasing},  // exactly 1.40 x belongs to the change
      {100, 139, 0, StudyVerdict::Stable},
      {100, 35, 0, StudyVerdict::Decreasing},  // exactly 0.35 x belongs to the change
      {100, 36, 0, StudyVerdict::Stable},
      {100, 0, 0, StudyVerdict::Decreasing},   // vanished
      {100, 20, 1, StudyVerdict::Increasing},  // a new lesion outweighs shrinkage
      {0, 0, 0, StudyVerdict::Stable},
      {0, 5, 0, StudyVerdict::Increasing},  // from nothing, any burden is new disease
      {3000000000, 4200000000, 0, StudyVerdict::Increasing},  // no overflow on large volumes
  };
  for (const auto& c : cases)
    EXPECT_EQ(studyVerdict(c.burden1, c.burden2, c.newLesions), c.expected)
        << c.burden1 << " -> " << c.burden2 << ", " << c.newLesions << " new";
}

}  // namespace
}  // namespace pelk
