#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "studies/rigid_registration_3d.h"
#include "studies/study_volume.h"

namespace pelk {

// Where the baseline shows the head, and which part of it is tissue fit for measuring intensity
// and noise: neither background nor the saturated top, and away from edges (within 10% of its
// neighbours along each axis).
struct HeadMasks {
  std::vector<std::uint8_t> head;
  std::vector<std::uint8_t> tissue;
  double brightLevel = 0.0;  // the baseline's 99.5th percentile inside the head
};

HeadMasks headMasks(const StudyVolume& baseline);

// follow-up ≈ gain(x, y, z) × baseline over the unchanged tissue, the gain a smooth field
// (the exponential of a quadratic in the voxel position), so a different receiver gain and a
// slowly varying coil sensitivity are both taken out.
struct IntensityField {
  std::array<double, 10> logGain{};  // coefficients of 1, u, v, w, u², v², w², uv, uw, vw
  double centreGain = 1.0;           // at the middle of the volume
  double lowestGain = 1.0;           // over the tissue
  double highestGain = 1.0;

  double gainAt(const StudyVolume& grid, std::int64_t i, std::int64_t j, std::int64_t k) const;
};

// The registered follow-up on the baseline's intensity scale (0 where it has no data).
std::vector<float> normaliseFollowUp(const StudyVolume& registered,
                                     const std::vector<std::uint8_t>& covered,
                                     const IntensityField& field);

// One connected region of significant positive change (the follow-up brighter than the baseline).
struct VolumeLesion {
  int label = 0;  // in VolumeChange::labels
  std::int64_t voxels = 0;
  double volumeMm3 = 0.0;
  Vec3 centroidVoxel{};     // baseline voxel coordinates
  Vec3 centroidMm{};        // patient space
  double meanChange = 0.0;  // on the baseline's intensity scale
  bool isNew = false;       // overlaps no lesion of the earlier follow-up
};

struct VolumeChange {
  IntensityField intensity;
  double noiseSigma = 0.0;
  double threshold = 0.0;
  std::vector<float> difference;      // median-filtered normalised follow-up − baseline
  std::vector<std::int32_t> labels;   // 0 = no significant change
  std::vector<VolumeLesion> lesions;  // largest first

  std::int64_t burdenVoxels() const;
  double burdenMm3(const StudyVolume& grid) const { return burdenVoxels() * grid.voxelVolumeMm3(); }
};

// Smaller regions are noise or registration residue, not lesions.
inline constexpr double kMinLesionMm3 = 20.0;
// A component's peak must reach this many multiples of the robust noise of the difference...
inline constexpr double kNoiseMultiple = 5.0;
// ...and the share of the compared head's absolute differences below it...
inline constexpr double kResidueQuantile = 0.995;
// ...and this share of the baseline's bright level, however quiet the studies: below it
// interpolation and partial-volume residue at tissue borders are as large as the signal.
inline constexpr double kMinChangeShare = 12.0 / 255.0;

// The change of one registered follow-up against the baseline: intensity normalisation over the
// unchanged tissue, the signed difference from the baseline as the follow-up would show it
// unchanged where both have data (both blurred alike first, which quietens the noise), a
// 3 × 3 × 3 median, hysteresis thresholding (a component is connected voxels above half the
// noise-based level that reach the full threshold, the residue at edges included, somewhere) and
// 26-connected components of at least kMinLesionMm3.
VolumeChange detectVolumeChange(const StudyVolume& baseline, const HeadMasks& masks,
                                const RigidRegistration& registration);

// Marks the lesions of `later` that share no voxel with a lesion of `earlier` as new and returns
// how many there are.
int markNewLesions(VolumeChange& later, const VolumeChange& earlier);

// Voxels of significant change in `later` but not in `earlier` (growth) and the reverse
// (shrinkage).
struct GrowthShrinkage {
  std::int64_t growthVoxels = 0;
  std::int64_t shrinkageVoxels = 0;
};
GrowthShrinkage growthAndShrinkage(const VolumeChange& earlier, const VolumeChange& later);

}  // namespace pelk
