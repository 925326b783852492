#include <cmath>

#include <gtest/gtest.h>

#include "studies/rigid_registration_3d.h"
#include "studies/volume_change.h"
#include "tests/studies/study_files.h"
#include "tools/validate-studies/study_simulation.h"

namespace pelk::test {
namespace {

// The head moved by a few degrees about an oblique axis and a few millimetres, with a different
// gain, is brought back onto the baseline: the registered follow-up matches the baseline and the
// recovered rotation has the size of the motion.
TEST(StudyRegistration, RecoversARigidMotionUnderAGainChange) {
  const StudyVolume baseline = smallHead();
  simulation::Motion motion;
  motion.axis = {0.3, 0.2, 1.0};
  motion.angleDeg = 4.0;
  motion.shiftMm = {3.0, -2.0, 2.5};
  StudyVolume followUp = simulation::moveContent(baseline, motion);
  simulation::gainAndNoise(followUp, 1.2, 0.0, 1);

  const HeadMasks masks = headMasks(baseline);
  const RigidRegistration r = registerRigid(baseline, followUp, "moved", masks.head);
  EXPECT_TRUE(r.converged) << r.stopReason;
  const double angle =
      std::sqrt(r.rotationDeg[0] * r.rotationDeg[0] + r.rotationDeg[1] * r.rotationDeg[1] +
                r.rotationDeg[2] * r.rotationDeg[2]);
  EXPECT_NEAR(angle, 4.0, 0.5);

  // The insides of the brain's structures: near the box's edges the motion carried part of the
  // scalp out of view, and at the phantom's sharp edges interpolation alone costs correlation.
  std::vector<std::uint8_t> compare(masks.head.size());
  for (std::size_t i = 0; i < compare.size(); ++i)
    compare[i] =
        masks.tissue[i] && baseline.values[i] >= 95 && baseline.values[i] <= 165 && r.covered[i];
  EXPECT_GT(simulation::correlation(baseline.values, r.registered.values, compare), 0.97);
  EXPECT_LT(simulation::correlation(baseline.values, followUp.values, compare), 0.9)
      << "the motion is too small to test anything";
}

}  // namespace
}  // namespace pelk::test
