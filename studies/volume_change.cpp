#include "studies/volume_change.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "common/io_error.h"

namespace pelk {
namespace {

constexpr std::size_t kMaxSamples = 200000;

float quantile(std::vector<float> v, double q) {
  if (v.empty()) return 0.0f;
  const auto at = static_cast<std::size_t>(q * static_cast<double>(v.size() - 1));
  std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(at), v.end());
  return v[at];
}

// Every n-th voxel under the mask, n chosen so at most kMaxSamples are taken.
std::vector<std::size_t> sampleIndices(const std::vector<std::uint8_t>& mask) {
  const auto count = static_cast<std::size_t>(std::count(mask.begin(), mask.end(), 1));
  const std::size_t step = std::max<std::size_t>(1, count / kMaxSamples);
  std::vector<std::size_t> out;
  out.reserve(count / step + 1);
  std::size_t seen = 0;
  for (std::size_t i = 0; i < mask.size(); ++i)
    if (mask[i] && seen++ % step == 0) out.push_back(i);
  return out;
}

// The ten quadratic terms of a position scaled to [-1, 1] across the grid.
std::array<double, 10> terms(const StudyVolume& grid, std::int64_t i, std::int64_t j,
                             std::int64_t k) {
  const auto scaled = [](std::int64_t n, std::int64_t size) {
    return size > 1 ? 2.0 * static_cast<double>(n) / static_cast<double>(size - 1) - 1.0 : 0.0;
  };
  const double u = scaled(i, grid.size[0]), v = scaled(j, grid.size[1]),
               w = scaled(k, grid.size[2]);
  return {1, u, v, w, u * u, v * v, w * w, u * v, u * w, v * w};
}

// Least squares by the normal equations, Gauss-Jordan with partial pivoting; ten unknowns.
bool solve(std::array<std::array<double, 11>, 10>& m) {
  for (std::size_t c = 0; c < 10; ++c) {
    std::size_t pivot = c;
    for (std::size_t r = c + 1; r < 10; ++r)
      if (std::abs(m[r][c]) > std::abs(m[pivot][c])) pivot = r;
    if (std::abs(m[pivot][c]) < 1e-12) return false;
    std::swap(m[c], m[pivot]);
    for (std::size_t r = 0; r < 10; ++r) {
      if (r == c) continue;
      const double f = m[r][c] / m[c][c];
      for (std::size_t x = c; x < 11; ++x) m[r][x] -= f * m[c][x];
    }
  }
  for (std::size_t r = 0; r < 10; ++r) m[r][10] /= m[r][r];
  return true;
}

// log(follow-up / baseline) fitted by a quadratic in the position; each round drops the voxels
// more than three robust deviations off the fit, so lesions and other true changes, a minority,
// do not pull it.
IntensityField fitField(const StudyVolume& grid, const std::vector<std::size_t>& at,
                        const std::vector<float>& base, const std::vector<float>& follow) {
  std::vector<std::array<double, 10>> t(at.size());
  std::vector<double> y(at.size());
  std::vector<char> use(at.size(), 0);
  const auto nx = static_cast<std::size_t>(grid.size[0]),
             ny = static_cast<std::size_t>(grid.size[1]);
  for (std::size_t s = 0; s < at.size(); ++s) {
    t[s] = terms(grid, static_cast<std::int64_t>(at[s] % nx),
                 static_cast<std::int64_t>((at[s] / nx) % ny),
                 static_cast<std::int64_t>(at[s] / (nx * ny)));
    use[s] = base[s] > 0 && follow[s] > 0;
    y[s] = use[s] ? std::log(static_cast<double>(follow[s]) / base[s]) : 0.0;
  }
  IntensityField field;
  for (int round = 0; round < 4; ++round) {
    std::array<std::array<double, 11>, 10> m{};
    for (std::size_t s = 0; s < at.size(); ++s) {
      if (!use[s]) continue;
      for (std::size_t r = 0; r < 10; ++r) {
        for (std::size_t c = 0; c < 10; ++c) m[r][c] += t[s][r] * t[s][c];
        m[r][10] += t[s][r] * y[s];
      }
    }
    if (!solve(m)) throw IoError("Too little tissue is covered by both studies to compare them");
    for (std::size_t r = 0; r < 10; ++r) field.logGain[r] = m[r][10];
    std::vector<float> residual(at.size()), kept;
    for (std::size_t s = 0; s < at.size(); ++s) {
      double fit = 0;
      for (std::size_t r = 0; r < 10; ++r) fit += field.logGain[r] * t[s][r];
      residual[s] = static_cast<float>(std::abs(y[s] - fit));
      if (use[s]) kept.push_back(residual[s]);
    }
    // At least 5% either way: on identical tissue the deviation is 0, and trimming everything
    // that is not exactly on the fit would leave too few voxels to fit a field to.
    const double limit = std::max(0.05, 3.0 * 1.4826 * quantile(kept, 0.5));
    for (std::size_t s = 0; s < at.size(); ++s)
      use[s] = base[s] > 0 && follow[s] > 0 && residual[s] <= limit;
  }
  field.lowestGain = 1e300;
  field.highestGain = 0;
  for (std::size_t s = 0; s < at.size(); ++s) {
    double fit = 0;
    for (std::size_t r = 0; r < 10; ++r) fit += field.logGain[r] * t[s][r];
    field.lowestGain = std::min(field.lowestGain, std::exp(fit));
    field.highestGain = std::max(field.highestGain, std::exp(fit));
  }
  field.centreGain = std::exp(field.logGain[0]);
  return field;
}

// A [1 2 1] / 4 blur along each axis, applied to both studies alike: it quietens their noise and
// the residue of a sub-voxel misalignment at edges without shifting either.
std::vector<float> binomialBlur(std::vector<float> v, const StudyVolume& grid) {
  std::vector<float> tmp(v.size());
  const std::array<std::int64_t, 3> stride{1, grid.size[0], grid.size[0] * grid.size[1]};
  for (std::size_t axis = 0; axis < 3; ++axis) {
    const std::int64_t n = grid.size[axis], s = stride[axis];
    for (std::size_t at = 0; at < v.size(); ++at) {
      const std::int64_t pos = (static_cast<std::int64_t>(at) / s) % n;
      const float here = v[at];
      const float before = pos > 0 ? v[at - static_cast<std::size_t>(s)] : here;
      const float after = pos + 1 < n ? v[at + static_cast<std::size_t>(s)] : here;
      tmp[at] = 0.25f * before + 0.5f * here + 0.25f * after;
    }
    v.swap(tmp);
  }
  return v;
}

// The median of the 27 voxels around each head voxel; outside the head the difference is 0.
std::vector<float> median3(const std::vector<float>& d, const StudyVolume& grid,
                           const std::vector<std::uint8_t>& head) {
  const auto nx = grid.size[0], ny = grid.size[1], nz = grid.size[2];
  std::vector<float> out(d.size(), 0.0f);
  std::array<float, 27> window{};
  for (std::int64_t k = 0; k < nz; ++k)
    for (std::int64_t j = 0; j < ny; ++j)
      for (std::int64_t i = 0; i < nx; ++i) {
        const std::size_t at = grid.index(i, j, k);
        if (!head[at]) continue;
        int n = 0;
        for (std::int64_t c = std::max<std::int64_t>(k - 1, 0); c <= std::min(k + 1, nz - 1); ++c)
          for (std::int64_t b = std::max<std::int64_t>(j - 1, 0); b <= std::min(j + 1, ny - 1); ++b)
            for (std::int64_t a = std::max<std::int64_t>(i - 1, 0); a <= std::min(i + 1, nx - 1);
                 ++a)
              window[static_cast<std::size_t>(n++)] = d[grid.index(a, b, c)];
        std::nth_element(window.begin(), window.begin() + n / 2, window.begin() + n);
        out[at] = window[static_cast<std::size_t>(n / 2)];
      }
  return out;
}

// 26-connected components of `candidate`; labels from 1, in scan order.
int labelComponents(const std::vector<std::uint8_t>& candidate, const StudyVolume& grid,
                    std::vector<std::int32_t>& labels) {
  const auto nx = grid.size[0], ny = grid.size[1], nz = grid.size[2];
  labels.assign(candidate.size(), 0);
  std::vector<std::size_t> stack;
  int count = 0;
  for (std::size_t seed = 0; seed < candidate.size(); ++seed) {
    if (!candidate[seed] || labels[seed]) continue;
    labels[seed] = ++count;
    stack.push_back(seed);
    while (!stack.empty()) {
      const std::size_t at = stack.back();
      stack.pop_back();
      const auto i = static_cast<std::int64_t>(at % static_cast<std::size_t>(nx));
      const auto j = static_cast<std::int64_t>((at / static_cast<std::size_t>(nx)) %
                                               static_cast<std::size_t>(ny));
      const auto k = static_cast<std::int64_t>(at / static_cast<std::size_t>(nx * ny));
      for (std::int64_t c = std::max<std::int64_t>(k - 1, 0); c <= std::min(k + 1, nz - 1); ++c)
        for (std::int64_t b = std::max<std::int64_t>(j - 1, 0); b <= std::min(j + 1, ny - 1); ++b)
          for (std::int64_t a = std::max<std::int64_t>(i - 1, 0); a <= std::min(i + 1, nx - 1);
               ++a) {
            const std::size_t next = grid.index(a, b, c);
            if (candidate[next] && !labels[next]) {
              labels[next] = count;
              stack.push_back(next);
            }
          }
    }
  }
  return count;
}

}  // namespace

double IntensityField::gainAt(const StudyVolume& grid, std::int64_t i, std::int64_t j,
                              std::int64_t k) const {
  const auto t = terms(grid, i, j, k);
  double fit = 0;
  for (std::size_t r = 0; r < 10; ++r) fit += logGain[r] * t[r];
  return std::exp(fit);
}

std::vector<float> normaliseFollowUp(const StudyVolume& registered,
                                     const std::vector<std::uint8_t>& covered,
                                     const IntensityField& field) {
  std::vector<float> out(registered.values.size(), 0.0f);
  for (std::int64_t k = 0; k < registered.size[2]; ++k)
    for (std::int64_t j = 0; j < registered.size[1]; ++j) {
      for (std::int64_t i = 0; i < registered.size[0]; ++i) {
        const std::size_t at = registered.index(i, j, k);
        if (covered[at])
          out[at] = static_cast<float>(registered.values[at] / field.gainAt(registered, i, j, k));
      }
    }
  return out;
}

std::int64_t VolumeChange::burdenVoxels() const {
  std::int64_t total = 0;
  for (const auto& l : lesions) total += l.voxels;
  return total;
}

HeadMasks headMasks(const StudyVolume& baseline) {
  HeadMasks masks;
  std::vector<float> bright;
  const std::size_t step = std::max<std::size_t>(1, baseline.values.size() / kMaxSamples);
  for (std::size_t i = 0; i < baseline.values.size(); i += step)
    if (baseline.values[i] > 0) bright.push_back(baseline.values[i]);
  const double top = quantile(bright, 0.995);
  // A tenth of the bright end separates air and noise from tissue in any reasonably exposed scan.
  const double floor = top / 10.0;
  masks.brightLevel = top;
  masks.head.resize(baseline.values.size());
  masks.tissue.resize(baseline.values.size());
  const auto& v = baseline.values;
  const std::array<std::int64_t, 3> stride{1, baseline.size[0],
                                           baseline.size[0] * baseline.size[1]};
  for (std::int64_t k = 0; k < baseline.size[2]; ++k)
    for (std::int64_t j = 0; j < baseline.size[1]; ++j)
      for (std::int64_t i = 0; i < baseline.size[0]; ++i) {
        const std::size_t at = baseline.index(i, j, k);
        masks.head[at] = v[at] > floor;
        if (!(v[at] > floor && v[at] < top)) continue;
        // Only the inside of a structure: at an edge any residue of the registration or of the
        // interpolation changes the value, and intensity and noise are measured on what did not
        // change.
        const std::array<std::int64_t, 3> pos{i, j, k};
        bool flat = true;
        for (std::size_t axis = 0; axis < 3 && flat; ++axis) {
          if (pos[axis] == 0 || pos[axis] + 1 >= baseline.size[axis]) {
            flat = false;
            break;
          }
          const auto s = static_cast<std::size_t>(stride[axis]);
          flat = std::abs(v[at - s] - v[at]) <= 0.1f * v[at] &&
                 std::abs(v[at + s] - v[at]) <= 0.1f * v[at];
        }
        masks.tissue[at] = flat;
      }
  return masks;
}

VolumeChange detectVolumeChange(const StudyVolume& baseline, const HeadMasks& masks,
                                const RigidRegistration& registration) {
  const StudyVolume& registered = registration.registered;
  const std::vector<std::uint8_t>& covered = registration.covered;
  const std::vector<float>& expected = registration.baselineAsSeen;
  std::vector<std::uint8_t> tissue(masks.tissue.size());
  for (std::size_t i = 0; i < tissue.size(); ++i) tissue[i] = masks.tissue[i] && covered[i];
  const auto samples = sampleIndices(tissue);
  if (samples.size() < 1000)
    throw IoError("Too little tissue is covered by both studies to compare them");
  std::vector<float> x, y;
  for (const auto i : samples) x.push_back(expected[i]), y.push_back(registered.values[i]);

  VolumeChange change;
  change.intensity = fitField(baseline, samples, x, y);
  if (!std::isfinite(change.intensity.lowestGain) || !std::isfinite(change.intensity.highestGain))
    throw IoError("The follow-up's intensities do not follow the baseline's: not comparable");

  std::vector<float> raw =
      binomialBlur(normaliseFollowUp(registered, covered, change.intensity), baseline);
  const std::vector<float> base = binomialBlur(expected, baseline);
  std::vector<std::uint8_t> compared(baseline.values.size());
  for (std::size_t i = 0; i < raw.size(); ++i) {
    compared[i] = masks.head[i] && covered[i];
    raw[i] = compared[i] ? raw[i] - base[i] : 0.0f;
  }
  change.difference = median3(raw, baseline, compared);

  // The noise is measured over the whole compared head, edges included: residue of the
  // registration and the interpolation sits at edges, and the threshold must stand above it.
  std::vector<float> noise;
  for (const auto i : sampleIndices(compared)) noise.push_back(change.difference[i]);
  const float centre = quantile(noise, 0.5);
  for (auto& v : noise) v = std::abs(v - centre);
  change.noiseSigma = 1.4826 * quantile(noise, 0.5);
  // Residue at the edges is a small share of the head but far above the noise of its inside;
  // lesions are a smaller share still, so the difference's top half-percent marks the residue.
  const double residue = quantile(noise, kResidueQuantile);
  const double significant =
      std::max(kMinChangeShare * masks.brightLevel, kNoiseMultiple * change.noiseSigma);
  change.threshold = std::max(significant, residue);
  // A lesion's extent is taken at half the noise-based level, not at half a threshold that the
  // lesion itself may have raised, so the same lesion measures the same in both follow-ups.
  const double extent = significant / 2.0;

  std::vector<std::uint8_t> candidate(raw.size());
  for (std::size_t i = 0; i < raw.size(); ++i)
    candidate[i] = compared[i] && change.difference[i] > extent;
  const int count = labelComponents(candidate, baseline, change.labels);

  struct Sum {
    std::int64_t voxels = 0;
    double peak = 0, change = 0, i = 0, j = 0, k = 0;
  };
  std::vector<Sum> sums(static_cast<std::size_t>(count) + 1);
  const auto nx = baseline.size[0], ny = baseline.size[1];
  for (std::size_t at = 0; at < change.labels.size(); ++at) {
    auto& s = sums[static_cast<std::size_t>(change.labels[at])];
    s.peak = std::max(s.peak, static_cast<double>(change.difference[at]));
  }
  // A lesion is the part of its region at half its peak change or more: the edge of a blurred
  // lesion lies where its change has fallen to half, whatever its contrast, so a lesion measures
  // its true size in either follow-up while the region found above the lower level only finds it.
  for (std::size_t at = 0; at < change.labels.size(); ++at) {
    auto& label = change.labels[at];
    if (!label) continue;
    Sum& s = sums[static_cast<std::size_t>(label)];
    if (change.difference[at] < 0.5 * s.peak) {
      label = 0;
      continue;
    }
    ++s.voxels;
    s.change += change.difference[at];
    s.i += static_cast<double>(at % static_cast<std::size_t>(nx));
    s.j += static_cast<double>((at / static_cast<std::size_t>(nx)) % static_cast<std::size_t>(ny));
    s.k += static_cast<double>(at / static_cast<std::size_t>(nx * ny));
  }
  const double voxelMm3 = baseline.voxelVolumeMm3();
  std::vector<char> kept(sums.size(), 0);
  for (std::size_t label = 1; label < sums.size(); ++label) {
    const Sum& s = sums[label];
    if (s.voxels * voxelMm3 < kMinLesionMm3 || s.peak < change.threshold) continue;
    VolumeLesion lesion;
    lesion.label = static_cast<int>(label);
    lesion.voxels = s.voxels;
    lesion.volumeMm3 = s.voxels * voxelMm3;
    const auto n = static_cast<double>(s.voxels);
    lesion.centroidVoxel = {s.i / n, s.j / n, s.k / n};
    lesion.centroidMm = baseline.pointMm(s.i / n, s.j / n, s.k / n);
    lesion.meanChange = s.change / n;
    change.lesions.push_back(lesion);
    kept[label] = 1;
  }
  for (auto& l : change.labels)
    if (!kept[static_cast<std::size_t>(l)]) l = 0;
  std::stable_sort(
      change.lesions.begin(), change.lesions.end(),
      [](const VolumeLesion& a, const VolumeLesion& b) { return a.voxels > b.voxels; });
  return change;
}

int markNewLesions(VolumeChange& later, const VolumeChange& earlier) {
  int maxLabel = 0;
  for (const auto& l : later.lesions) maxLabel = std::max(maxLabel, l.label);
  std::vector<char> overlaps(static_cast<std::size_t>(maxLabel) + 1, 0);
  for (std::size_t i = 0; i < later.labels.size(); ++i)
    if (later.labels[i] && earlier.labels[i])
      overlaps[static_cast<std::size_t>(later.labels[i])] = 1;
  int fresh = 0;
  for (auto& l : later.lesions) {
    l.isNew = !overlaps[static_cast<std::size_t>(l.label)];
    fresh += l.isNew;
  }
  return fresh;
}

GrowthShrinkage growthAndShrinkage(const VolumeChange& earlier, const VolumeChange& later) {
  GrowthShrinkage g;
  for (std::size_t i = 0; i < later.labels.size(); ++i) {
    g.growthVoxels += later.labels[i] && !earlier.labels[i];
    g.shrinkageVoxels += earlier.labels[i] && !later.labels[i];
  }
  return g;
}

}  // namespace pelk
