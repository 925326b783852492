#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "studies/study_volume.h"

namespace pelk {

// A follow-up brought onto the baseline's grid by a rigid transform.
struct RigidRegistration {
  // The transform from baseline to follow-up space: rotations about x, y and z (applied in
  // that order, about the follow-up's centre of mass) and the shift that follows them.
  Vec3 rotationDeg{};
  Vec3 translationMm{};
  double metric = 0.0;                // Mattes mutual information at the end (lower is better)
  bool converged = true;              // false when the finest level ran out of iterations
  std::string stopReason;             // the optimiser's own words
  StudyVolume registered;             // the follow-up resampled onto the baseline's grid (linear)
  std::vector<std::uint8_t> covered;  // 1 where the follow-up covers the baseline's voxel
  // The baseline as the registered follow-up would show it had nothing changed: recorded on the
  // follow-up's grid (each voxel the mean over its extent, so thick slices average alike) and
  // brought back by the same transform and interpolation. Comparing the follow-up with it rather
  // than with the baseline itself, every edge is softened alike in both.
  std::vector<float> baselineAsSeen;
};

// Registers `followUp` to `baseline`: centre-of-mass start, Mattes mutual information (which
// tolerates gain and contrast differences) sampled on a few tens of thousands of voxels inside
// `baselineHead` (1 on the baseline's head: samples in the air would make the match one of
// outlines rather than of anatomy), a regular step gradient descent over a three-level pyramid.
// Throws IoError, naming `name`, when the two do not overlap in space at all or the
// registration fails.
RigidRegistration registerRigid(const StudyVolume& baseline, const StudyVolume& followUp,
                                const std::string& name,
                                const std::vector<std::uint8_t>& baselineHead);

}  // namespace pelk
