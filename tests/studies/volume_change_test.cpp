#include <gtest/gtest.h>

#include "studies/rigid_registration_3d.h"
#include "studies/volume_change.h"
#include "tests/studies/study_files.h"
#include "tools/validate-studies/study_simulation.h"

namespace pelk::test {

namespace {

// Where nothing changed, the follow-up's other grid leaves no trace: registration and
// resampling soften every edge of the follow-up, and thick slices average across edges, yet
// neither may pass for a lesion. The lesion of the last row is found where it is.
TEST(VolumeChange, FindsOnlyTheTrueChangeWhateverTheFollowUpsGrid) {
  const StudyVolume baseline = smallHead();
  const HeadMasks masks = headMasks(baseline);
  struct Case {
    const char* name;
    int sliceFactor;
    double lesionRadiusMm;
  };
  const Case cases[] = {
      {"moved", 1, 0},
      {"moved, thick slices", 3, 0},
      {"moved, with a lesion", 1, 5},
  };
  const Vec3 site = baseline.pointMm(20, 22, 16);
  for (const Case& c : cases) {
    StudyVolume content = baseline;
    if (c.lesionRadiusMm > 0) {
      const double r = c.lesionRadiusMm;
      simulation::addLesions(content, {{site, {r, r, r}, 80}});
    }
    simulation::Motion motion;
    motion.axis = {0.4, -0.3, 1.0};
    motion.angleDeg = 3.5;
    motion.shiftMm = {2.5, -1.5, 3.0};
    StudyVolume followUp = simulation::moveContent(content, motion);
    if (c.sliceFactor > 1) followUp = simulation::thickSlices(followUp, c.sliceFactor);

    const RigidRegistration r = registerRigid(baseline, followUp, c.name, masks.head);
    const VolumeChange change = detectVolumeChange(baseline, masks, r);
    if (c.lesionRadiusMm == 0) {
      EXPECT_TRUE(change.lesions.empty())
          << c.name << ": " << change.lesions.size() << " lesions, the largest "
          << change.lesions.front().volumeMm3 << " mm3";
      continue;
    }
    ASSERT_EQ(change.lesions.size(), 1u) << c.name;
    for (std::size_t a = 0; a < 3; ++a)
      EXPECT_NEAR(change.lesions[0].centroidMm[a], site[a], 2.0) << c.name;
  }
}

}  // namespace
}  // namespace pelk::test
