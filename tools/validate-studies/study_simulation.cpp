#include "tools/validate-studies/study_simulation.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

namespace pelk::simulation {
namespace {

double dot(const Vec3& a, const Vec3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

Vec3 centreOf(const StudyVolume& v) {
  return v.pointMm((v.size[0] - 1) / 2.0, (v.size[1] - 1) / 2.0, (v.size[2] - 1) / 2.0);
}

// Rodrigues' rotation of `p` about the unit `axis` by `angle` radians.
Vec3 rotate(const Vec3& p, Vec3 axis, double angle) {
  const double n = std::sqrt(dot(axis, axis));
  for (auto& a : axis) a /= n;
  const double c = std::cos(angle), s = std::sin(angle), d = dot(axis, p) * (1 - c);
  const Vec3 cross{axis[1] * p[2] - axis[2] * p[1], axis[2] * p[0] - axis[0] * p[2],
                   axis[0] * p[1] - axis[1] * p[0]};
  return {p[0] * c + cross[0] * s + axis[0] * d, p[1] * c + cross[1] * s + axis[1] * d,
          p[2] * c + cross[2] * s + axis[2] * d};
}

// Continuous voxel coordinates of a patient-space point (the axes are orthonormal).
Vec3 voxelOf(const StudyVolume& v, const Vec3& p) {
  const Vec3 d{p[0] - v.originMm[0], p[1] - v.originMm[1], p[2] - v.originMm[2]};
  return {dot(d, v.axes[0]) / v.spacingMm[0], dot(d, v.axes[1]) / v.spacingMm[1],
          dot(d, v.axes[2]) / v.spacingMm[2]};
}

float trilinear(const StudyVolume& v, const Vec3& at) {
  const double x = at[0], y = at[1], z = at[2];
  if (x < 0 || y < 0 || z < 0 || x > v.size[0] - 1 || y > v.size[1] - 1 || z > v.size[2] - 1)
    return 0.0f;
  const auto i =
      std::min<std::int64_t>(static_cast<std::int64_t>(x), v.size[0] - 2 < 0 ? 0 : v.size[0] - 2);
  const auto j =
      std::min<std::int64_t>(static_cast<std::int64_t>(y), v.size[1] - 2 < 0 ? 0 : v.size[1] - 2);
  const auto k =
      std::min<std::int64_t>(static_cast<std::int64_t>(z), v.size[2] - 2 < 0 ? 0 : v.size[2] - 2);
  const double fx = x - i, fy = y - j, fz = z - k;
  double sum = 0;
  for (int c = 0; c < 2; ++c)
    for (int b = 0; b < 2; ++b)
      for (int a = 0; a < 2; ++a) {
        const double w = (a ? fx : 1 - fx) * (b ? fy : 1 - fy) * (c ? fz : 1 - fz);
        if (w > 0) sum += w * v.values[v.index(i + a, j + b, k + c)];
      }
  return static_cast<float>(sum);
}

}  // namespace

Vec3 movedPoint(const StudyVolume& volume, const Motion& motion, const Vec3& p) {
  const Vec3 c = centreOf(volume);
  const Vec3 r = rotate({p[0] - c[0], p[1] - c[1], p[2] - c[2]}, motion.axis,
                        motion.angleDeg * std::numbers::pi / 180.0);
  return {r[0] + c[0] + motion.shiftMm[0], r[1] + c[1] + motion.shiftMm[1],
          r[2] + c[2] + motion.shiftMm[2]};
}

StudyVolume moveContent(const StudyVolume& volume, const Motion& motion) {
  StudyVolume out = sameGrid(volume);
  out.description = volume.description;
  const Vec3 c = centreOf(volume);
  const double angle = -motion.angleDeg * std::numbers::pi / 180.0;
  for (std::int64_t k = 0; k < volume.size[2]; ++k)
    for (std::int64_t j = 0; j < volume.size[1]; ++j)
      for (std::int64_t i = 0; i < volume.size[0]; ++i) {
        // The content now at p came from the inverse motion of p.
        const Vec3 p = volume.pointMm(i, j, k);
        const Vec3 back = rotate({p[0] - motion.shiftMm[0] - c[0], p[1] - motion.shiftMm[1] - c[1],
                                  p[2] - motion.shiftMm[2] - c[2]},
                                 motion.axis, angle);
        out.values[out.index(i, j, k)] =
            trilinear(volume, voxelOf(volume, {back[0] + c[0], back[1] + c[1], back[2] + c[2]}));
      }
  return out;
}

void addLesions(StudyVolume& volume, const std::vector<Lesion>& lesions) {
  for (std::int64_t k = 0; k < volume.size[2]; ++k)
    for (std::int64_t j = 0; j < volume.size[1]; ++j)
      for (std::int64_t i = 0; i < volume.size[0]; ++i) {
        const Vec3 p = volume.pointMm(i, j, k);
        double add = 0;
        for (const auto& l : lesions) {
          double q = 0;
          for (std::size_t r = 0; r < 3; ++r)
            q += std::pow((p[r] - l.centreMm[r]) / l.radiiMm[r], 2);
          const double edgeMm =
              (std::sqrt(q) - 1.0) * std::min({l.radiiMm[0], l.radiiMm[1], l.radiiMm[2]});
          add = std::max(add, l.contrast * std::clamp(0.5 - edgeMm, 0.0, 1.0));
        }
        volume.values[volume.index(i, j, k)] += static_cast<float>(add);
      }
}

StudyVolume thickSlices(const StudyVolume& volume, int factor) {
  StudyVolume out;
  out.size = {volume.size[0], volume.size[1], volume.size[2] / factor};
  out.spacingMm = {volume.spacingMm[0], volume.spacingMm[1], volume.spacingMm[2] * factor};
  out.axes = volume.axes;
  out.originMm = volume.pointMm(0, 0, (factor - 1) / 2.0);
  out.description = volume.description;
  out.values.assign(static_cast<std::size_t>(out.voxelCount()), 0.0f);
  for (std::int64_t k = 0; k < out.size[2]; ++k)
    for (std::int64_t j = 0; j < out.size[1]; ++j)
      for (std::int64_t i = 0; i < out.size[0]; ++i) {
        double sum = 0;
        for (int s = 0; s < factor; ++s) sum += volume.values[volume.index(i, j, k * factor + s)];
        out.values[out.index(i, j, k)] = static_cast<float>(sum / factor);
      }
  return out;
}

void gainAndNoise(StudyVolume& volume, double gain, double sigma, std::uint32_t seed) {
  std::mt19937 random(seed);
  std::normal_distribution<float> noise(0.0f, static_cast<float>(sigma));
  for (auto& v : volume.values)
    v = static_cast<float>(v * gain) + (sigma > 0 ? noise(random) : 0.0f);
}

void biasField(StudyVolume& volume, double strength) {
  for (std::int64_t k = 0; k < volume.size[2]; ++k)
    for (std::int64_t j = 0; j < volume.size[1]; ++j)
      for (std::int64_t i = 0; i < volume.size[0]; ++i) {
        const double u = 2.0 * i / std::max<std::int64_t>(1, volume.size[0] - 1) - 1;
        const double v = 2.0 * j / std::max<std::int64_t>(1, volume.size[1] - 1) - 1;
        const double w = 2.0 * k / std::max<std::int64_t>(1, volume.size[2] - 1) - 1;
        const double field = 1.0 + strength * (0.6 * u + 0.3 * v * w + 0.4 * (w * w - 0.5));
        volume.values[volume.index(i, j, k)] *= static_cast<float>(field);
      }
}

StudyVolume phantomHead(const std::array<std::int64_t, 3>& size, const Vec3& spacingMm) {
  StudyVolume head;
  head.size = size;
  head.spacingMm = spacingMm;
  head.values.assign(static_cast<std::size_t>(head.voxelCount()), 0.0f);
  head.description = "phantom";
  const Vec3 c{(size[0] - 1) * spacingMm[0] / 2, (size[1] - 1) * spacingMm[1] / 2,
               (size[2] - 1) * spacingMm[2] / 2};
  const Vec3 radii{c[0] * 0.8, c[1] * 0.85, c[2] * 0.8};
  const auto inside = [](const Vec3& d, const Vec3& r) {
    return d[0] * d[0] / (r[0] * r[0]) + d[1] * d[1] / (r[1] * r[1]) + d[2] * d[2] / (r[2] * r[2]);
  };
  for (std::int64_t k = 0; k < size[2]; ++k)
    for (std::int64_t j = 0; j < size[1]; ++j)
      for (std::int64_t i = 0; i < size[0]; ++i) {
        const Vec3 d{i * spacingMm[0] - c[0], j * spacingMm[1] - c[1], k * spacingMm[2] - c[2]};
        const double q = inside(d, radii);
        float v = 0;
        if (q < 1.0) v = 180;  // scalp
        if (q < 0.85) v = 40;  // skull
        if (q < 0.7)
          v = 110 + 15 * std::sin(d[0] / 3.0) * std::cos(d[1] / 4.0);  // grey matter folds
        if (q < 0.45) v = 150;                                         // white matter
        const Vec3 ventricle{d[0] - 0.15 * radii[0], d[1] + 0.1 * radii[1], d[2]};
        if (inside(ventricle, {radii[0] * 0.15, radii[1] * 0.3, radii[2] * 0.2}) < 1) v = 30;
        const Vec3 left{d[0] + 0.35 * radii[0], d[1] - 0.2 * radii[1], d[2] - 0.2 * radii[2]};
        if (inside(left, {radii[0] * 0.12, radii[1] * 0.12, radii[2] * 0.15}) < 1) v = 70;
        head.values[head.index(i, j, k)] = v;
      }
  return head;
}

double correlation(const std::vector<float>& a, const std::vector<float>& b,
                   const std::vector<std::uint8_t>& mask) {
  double n = 0, sa = 0, sb = 0, saa = 0, sbb = 0, sab = 0;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (!mask[i]) continue;
    n += 1, sa += a[i], sb += b[i], saa += a[i] * a[i], sbb += b[i] * b[i], sab += a[i] * b[i];
  }
  if (n < 2) return 0;
  const double va = saa - sa * sa / n, vb = sbb - sb * sb / n;
  return va > 0 && vb > 0 ? (sab - sa * sb / n) / std::sqrt(va * vb) : 0;
}

}  // namespace pelk::simulation
