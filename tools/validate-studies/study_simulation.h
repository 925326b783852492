#pragma once
#include <cstdint>
#include <vector>

#include "studies/study_volume.h"

namespace pelk::simulation {

// A rigid motion of the head inside the scanner: a rotation by `angleDeg` about `axis` through
// the volume's centre, then a shift.
struct Motion {
  Vec3 axis{0, 0, 1};
  double angleDeg = 0.0;
  Vec3 shiftMm{0, 0, 0};
};

// The volume's content moved by `motion`, sampled on the volume's own grid (trilinear, 0 where
// the moved head does not reach): what the scanner records when the head lies differently.
StudyVolume moveContent(const StudyVolume& volume, const Motion& motion);

// Where `motion` takes a point of the volume, in patient space; its inverse undoes it.
Vec3 movedPoint(const StudyVolume& volume, const Motion& motion, const Vec3& p);

// An ellipsoid lesion, brighter than its surroundings by `contrast`, with a soft edge of about
// one millimetre.
struct Lesion {
  Vec3 centreMm{};
  Vec3 radiiMm{5, 5, 5};
  double contrast = 0.0;
};
void addLesions(StudyVolume& volume, const std::vector<Lesion>& lesions);

// Thick slices along the third axis: each `factor` neighbouring slices averaged into one.
StudyVolume thickSlices(const StudyVolume& volume, int factor);

// value × gain, plus Gaussian noise of `sigma` (seeded, so a case is the same on every run).
void gainAndNoise(StudyVolume& volume, double gain, double sigma, std::uint32_t seed);

// A smooth multiplicative field across the head, up to ±`strength` at the edges of the volume.
void biasField(StudyVolume& volume, double strength);

// A simple head of tissue classes for tests: scalp, skull, grey and white matter, ventricles,
// on a grid of `size` voxels of `spacingMm`.
StudyVolume phantomHead(const std::array<std::int64_t, 3>& size, const Vec3& spacingMm);

// Pearson correlation of two volumes on the same grid over the voxels where `mask` is set.
double correlation(const std::vector<float>& a, const std::vector<float>& b,
                   const std::vector<std::uint8_t>& mask);

}  // namespace pelk::simulation
