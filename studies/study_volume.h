#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace pelk {

// Physical space in the patient frame used throughout the workbench: +x towards the patient's
// left, +y towards the back, +z towards the head (millimetres).
using Vec3 = std::array<double, 3>;

// A 3-D study in physical space. Voxel (i, j, k) lies at
//   origin + i * spacing[0] * axis[0] + j * spacing[1] * axis[1] + k * spacing[2] * axis[2],
// and i varies fastest in `values`.
struct StudyVolume {
  std::array<std::int64_t, 3> size{0, 0, 0};
  Vec3 spacingMm{1.0, 1.0, 1.0};
  Vec3 originMm{0.0, 0.0, 0.0};
  std::array<Vec3, 3> axes{Vec3{1, 0, 0}, Vec3{0, 1, 0}, Vec3{0, 0, 1}};  // unit vectors
  std::vector<float> values;
  // How it was read, for the account: "NIfTI-1 volume", "DICOM series 1.2.3 (120 of 180 files)".
  std::string description;

  std::int64_t voxelCount() const { return size[0] * size[1] * size[2]; }
  std::size_t index(std::int64_t i, std::int64_t j, std::int64_t k) const {
    return static_cast<std::size_t>((k * size[1] + j) * size[0] + i);
  }
  double voxelVolumeMm3() const { return spacingMm[0] * spacingMm[1] * spacingMm[2]; }
  Vec3 pointMm(double i, double j, double k) const {
    Vec3 p = originMm;
    for (std::size_t r = 0; r < 3; ++r)
      p[r] += i * spacingMm[0] * axes[0][r] + j * spacingMm[1] * axes[1][r] +
              k * spacingMm[2] * axes[2][r];
    return p;
  }
};

// An empty volume on the same grid as `grid`, every voxel `fill`.
StudyVolume sameGrid(const StudyVolume& grid, float fill = 0.0f);

}  // namespace pelk
