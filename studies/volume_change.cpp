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

// Both studies are noisy, so the line minimises perpendicular distances (the principal axis of
// the point cloud); each round drops the points more than three robust deviations off the line,
// so lesions and other true changes, a minority, do not pull it.
IntensityLine trimmedLine(const std::vector<float>& x, const std::vector<float>& y) {
  IntensityLine line;
  std::vector<char> use(x.size(), 1);
  for (int round = 0; round < 4; ++round) {
    double n = 0, sx = 0, sy = 0;
    for (std::size_t i = 0; i < x.size(); ++i)
      if (use[i]) n += 1, sx += x[i], sy += y[i];
    if (n < 2) break;
    const double mx = sx / n, my = sy / n;
    double cxx = 0, cyy = 0, cxy = 0;
    for (std::size_t i = 0; i < x.size(); ++i) {
      if (!use[i]) continue;
      const double dx = x[i] - mx, dy = y[i] - my;
      cxx += dx * dx, cyy += dy * dy, cxy += dx * dy;
    }
    const double angle = 0.5 * std::atan2(2.0 * cxy, cxx - cyy);
    const double ux = std::cos(angle), uy = std::sin(angle);
    if (std::abs(ux) < 1e-9) break;
    line.gain = uy / ux;
    line.offset = my - line.gain * mx;
    std::vector<float> residual(x.size());
    for (std::size_t i = 0; i < x.size(); ++i)
      residual[i] = static_cast<float>(std::abs(-uy * (x[i] - mx) + ux * (y[i] - my)));
    std::vector<float> kept;
    for (std::size_t i = 0; i < x.size(); ++i)
      if (use[i]) kept.push_back(residual[i]);
    const double limit = 3.0 * 1.4826 * quantile(kept, 0.5);
    for (std::size_t i = 0; i < x.size(); ++i) use[i] = residual[i] <= limit;
  }
  return line;
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
            for (std::int64_t a = std::max<std::int64_t>(i - 1, 0); a <= std::min(i + 1, nx - 1); ++a)
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
      const auto j = static_cast<std::int64_t>((at / static_cast<std::size_t>(nx)) % static_cast<std::size_t>(ny));
      const auto k = static_cast<std::int64_t>(at / static_cast<std::size_t>(nx * ny));
      for (std::int64_t c = std::max<std::int64_t>(k - 1, 0); c <= std::min(k + 1, nz - 1); ++c)
        for (std::int64_t b = std::max<std::int64_t>(j - 1, 0); b <= std::min(j + 1, ny - 1); ++b)
          for (std::int64_t a = std::max<std::int64_t>(i - 1, 0); a <= std::min(i + 1, nx - 1); ++a) {
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
  for (std::size_t i = 0; i < baseline.values.size(); ++i) {
    const float v = baseline.values[i];
    masks.head[i] = v > floor;
    masks.tissue[i] = v > floor && v < top;
  }
  return masks;
}

VolumeChange detectVolumeChange(const StudyVolume& baseline, const HeadMasks& masks,
                                const StudyVolume& registered,
                                const std::vector<std::uint8_t>& covered) {
  std::vector<std::uint8_t> tissue(masks.tissue.size());
  for (std::size_t i = 0; i < tissue.size(); ++i) tissue[i] = masks.tissue[i] && covered[i];
  const auto samples = sampleIndices(tissue);
  if (samples.size() < 1000)
    throw IoError("Too little tissue is covered by both studies to compare them");
  std::vector<float> x, y;
  for (const auto i : samples) x.push_back(baseline.values[i]), y.push_back(registered.values[i]);

  VolumeChange change;
  change.intensity = trimmedLine(x, y);
  if (!(change.intensity.gain > 1e-6) || !std::isfinite(change.intensity.gain))
    throw IoError("The follow-up's intensities do not rise with the baseline's: not comparable");

  std::vector<float> raw(baseline.values.size(), 0.0f);
  std::vector<std::uint8_t> compared(baseline.values.size());
  for (std::size_t i = 0; i < raw.size(); ++i) {
    compared[i] = masks.head[i] && covered[i];
    if (compared[i])
      raw[i] = static_cast<float>((registered.values[i] - change.intensity.offset) /
                                      change.intensity.gain - baseline.values[i]);
  }
  change.difference = median3(raw, baseline, compared);

  std::vector<float> noise;
  for (const auto i : samples) noise.push_back(change.difference[i]);
  const float centre = quantile(noise, 0.5);
  for (auto& v : noise) v = std::abs(v - centre);
  change.noiseSigma = 1.4826 * quantile(noise, 0.5);
  change.threshold = std::max(kMinChangeShare * masks.brightLevel, kNoiseMultiple * change.noiseSigma);

  std::vector<std::uint8_t> candidate(raw.size());
  for (std::size_t i = 0; i < raw.size(); ++i)
    candidate[i] = compared[i] && change.difference[i] > change.threshold / 2.0;
  const int count = labelComponents(candidate, baseline, change.labels);

  struct Sum {
    std::int64_t voxels = 0;
    double peak = 0, change = 0, i = 0, j = 0, k = 0;
  };
  std::vector<Sum> sums(static_cast<std::size_t>(count) + 1);
  const auto nx = baseline.size[0], ny = baseline.size[1];
  for (std::size_t at = 0; at < change.labels.size(); ++at) {
    const auto label = static_cast<std::size_t>(change.labels[at]);
    if (!label) continue;
    Sum& s = sums[label];
    ++s.voxels;
    s.peak = std::max(s.peak, static_cast<double>(change.difference[at]));
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
  std::stable_sort(change.lesions.begin(), change.lesions.end(),
                   [](const VolumeLesion& a, const VolumeLesion& b) { return a.voxels > b.voxels; });
  return change;
}

int markNewLesions(VolumeChange& later, const VolumeChange& earlier) {
  int maxLabel = 0;
  for (const auto& l : later.lesions) maxLabel = std::max(maxLabel, l.label);
  std::vector<char> overlaps(static_cast<std::size_t>(maxLabel) + 1, 0);
  for (std::size_t i = 0; i < later.labels.size(); ++i)
    if (later.labels[i] && earlier.labels[i]) overlaps[static_cast<std::size_t>(later.labels[i])] = 1;
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
