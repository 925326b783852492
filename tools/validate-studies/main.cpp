// Scores the volumetric study verdict and the registration on simulated follow-ups of a real T1
// volume: lesions that vanish, shrink, stay, grow or are joined by a new one, under motion, gain
// and noise, thick slices and a bias field. Prints a Markdown table for the README.
//
//   validate-studies [--volume PATH] [--cases N] [--step S] [--seed N] [--only CONDITION]
//                    [--verbose] [--write DIR]
//
// --seed draws another set of cases (the same set under every condition).
// --write keeps the first case of each condition as DIR/<n>-base.nii.gz, -followup1, -followup2
// (n counts the conditions run), so `pelk40-cli study` can be timed on a real triple.
// --step 2 averages 2 x 2 x 2 voxels first: eight times faster, the same method.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "common/io_error.h"
#include "studies/nifti_writer.h"
#include "studies/rigid_registration_3d.h"
#include "studies/study_reader.h"
#include "studies/study_verdict.h"
#include "studies/volume_change.h"
#include "tools/validate-studies/study_simulation.h"

namespace pelk::simulation {
namespace {

enum class Scenario { Vanish, Shrink, Stay, Grow, New };
const char* kScenarioNames[] = {"vanish", "shrink", "stay", "grow", "new"};

struct Condition {
  const char* name;
  bool motion = false;
  bool gainNoise = false;
  bool thickSecond = false;
  bool bias = false;
};

const Condition kConditions[] = {
    {"clean"},
    {"rotated 2-5 deg, shifted 3-8 mm", true},
    {"moved, gain and noise", true, true},
    {"follow-up 2 with 3 mm slices", true, false, true},
    {"bias field", false, false, false, true},
};

StudyVolume averaged(const StudyVolume& v, int step) {
  if (step <= 1) return v;
  StudyVolume out;
  out.size = {v.size[0] / step, v.size[1] / step, v.size[2] / step};
  out.spacingMm = {v.spacingMm[0] * step, v.spacingMm[1] * step, v.spacingMm[2] * step};
  out.axes = v.axes;
  out.originMm = v.pointMm((step - 1) / 2.0, (step - 1) / 2.0, (step - 1) / 2.0);
  out.values.assign(static_cast<std::size_t>(out.voxelCount()), 0.0f);
  for (std::int64_t k = 0; k < out.size[2]; ++k)
    for (std::int64_t j = 0; j < out.size[1]; ++j)
      for (std::int64_t i = 0; i < out.size[0]; ++i) {
        double sum = 0;
        for (int c = 0; c < step; ++c)
          for (int b = 0; b < step; ++b)
            for (int a = 0; a < step; ++a)
              sum += v.values[v.index(i * step + a, j * step + b, k * step + c)];
        out.values[out.index(i, j, k)] = static_cast<float>(sum / (step * step * step));
      }
  return out;
}

// A place deep enough in the brain for a lesion of `radius`: every voxel within it is tissue.
Vec3 lesionSite(const StudyVolume& v, const HeadMasks& masks, double radius, std::mt19937& random) {
  std::uniform_int_distribution<std::int64_t> pick(0, v.voxelCount() - 1);
  for (int tries = 0; tries < 100000; ++tries) {
    const auto at = pick(random);
    const auto i = at % v.size[0], j = (at / v.size[0]) % v.size[1],
               k = at / (v.size[0] * v.size[1]);
    const auto reach = static_cast<std::int64_t>(std::ceil((radius + 4) / v.spacingMm[0]));
    if (i < reach || j < reach || k < reach || i + reach >= v.size[0] || j + reach >= v.size[1] ||
        k + reach >= v.size[2])
      continue;
    bool deep = true;
    for (const auto d : {-reach, reach})
      deep = deep && masks.tissue[v.index(i + d, j, k)] && masks.tissue[v.index(i, j + d, k)] &&
             masks.tissue[v.index(i, j, k + d)];
    if (deep && masks.tissue[static_cast<std::size_t>(at)]) return v.pointMm(i, j, k);
  }
  throw IoError("No place for a lesion");
}

// A place for a new lesion of `radius` clear of `existing`: one that touches it is, by the
// verdict's rule, growth of that lesion and not a new one.
Vec3 apartFrom(const Lesion& existing, double radius, const StudyVolume& v, const HeadMasks& masks,
               std::mt19937& random, bool verbose) {
  // Beyond the two radii, a gap the blur and the median cannot bridge.
  constexpr double kGapMm = 4.0;
  const double reach =
      std::max({existing.radiiMm[0], existing.radiiMm[1], existing.radiiMm[2]}) + radius + kGapMm;
  for (int tries = 0; tries < 1000; ++tries) {
    const Vec3 site = lesionSite(v, masks, radius, random);
    const Vec3& c = existing.centreMm;
    if (std::hypot(site[0] - c[0], site[1] - c[1], site[2] - c[2]) >= reach) return site;
    if (verbose) std::fprintf(stderr, "  new lesion drawn again: it touched the first\n");
  }
  throw IoError("No place for a new lesion apart from the first");
}

Motion randomMotion(std::mt19937& random) {
  std::uniform_real_distribution<double> unit(-1, 1), angle(2, 5), shift(3, 8);
  Motion m;
  m.axis = {unit(random), unit(random), unit(random)};
  if (std::hypot(m.axis[0], m.axis[1], m.axis[2]) < 0.1) m.axis = {0, 0, 1};
  m.angleDeg = angle(random) * (unit(random) < 0 ? -1 : 1);
  Vec3 direction{unit(random), unit(random), unit(random)};
  const double n = std::max(1e-6, std::hypot(direction[0], direction[1], direction[2]));
  const double length = shift(random);
  for (std::size_t r = 0; r < 3; ++r) m.shiftMm[r] = direction[r] / n * length;
  return m;
}

struct Score {
  int cases = 0, verdictsRight = 0, registrationsGood = 0, registrations = 0;
  std::vector<double> correlations, seconds;
};

double median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2), v.end());
  return v[v.size() / 2];
}

}  // namespace

int run(int argc, char** argv) {
  std::string path = "/usr/share/mricron/templates/ch2.nii.gz";
  int cases = 100, step = 1;
  std::uint32_t seed = 1234;
  std::string only;
  std::string writeDir;
  bool verbose = false;
  for (int a = 1; a < argc; ++a)
    if (!std::strcmp(argv[a], "--verbose")) verbose = true;
  for (int a = 1; a + 1 < argc; a += 2) {
    if (!std::strcmp(argv[a], "--volume")) path = argv[a + 1];
    else if (!std::strcmp(argv[a], "--cases")) cases = std::atoi(argv[a + 1]);
    else if (!std::strcmp(argv[a], "--step")) step = std::atoi(argv[a + 1]);
    else if (!std::strcmp(argv[a], "--only")) only = argv[a + 1];
    else if (!std::strcmp(argv[a], "--write")) writeDir = argv[a + 1];
    else if (!std::strcmp(argv[a], "--seed"))
      seed = static_cast<std::uint32_t>(std::atol(argv[a + 1]));
  }
  const StudyVolume head = averaged(readStudy(path), step);
  const HeadMasks masks = headMasks(head);
  std::vector<std::uint8_t> brain = masks.tissue;

  std::printf(
      "| Condition | Cases | Verdict right | Registration corr >= 0.97 | Median corr | Median "
      "s/case |\n");
  std::printf("|---|---|---|---|---|---|\n");
  Score total;
  int conditionsRun = 0;
  for (const Condition& condition : kConditions) {
    if (!only.empty() && only != condition.name) continue;
    ++conditionsRun;
    Score score;
    std::mt19937 random(seed);  // the same cases under every condition
    for (int n = 0; n < cases; ++n) {
      const auto scenario = static_cast<Scenario>(n % 5);
      std::uniform_real_distribution<double> radius(3.5, 8), aspect(0.7, 1.3), gain(0.85, 1.15);
      const double r = radius(random);
      const Vec3 radii{r, r * aspect(random), r * aspect(random)};
      const double contrast = 0.35 * masks.brightLevel;
      const Lesion first{lesionSite(head, masks, r, random), radii, contrast};
      Lesion second = first;
      std::vector<Lesion> lesions2;
      switch (scenario) {
        case Scenario::Vanish: break;
        case Scenario::Shrink:
          for (auto& x : second.radiiMm) x *= 0.6;
          lesions2.push_back(second);
          break;
        case Scenario::Stay: lesions2.push_back(second); break;
        case Scenario::Grow:
          for (auto& x : second.radiiMm) x *= 1.3;
          lesions2.push_back(second);
          break;
        case Scenario::New:
          lesions2.push_back(second);
          lesions2.push_back(
              {apartFrom(first, 5, head, masks, random, verbose), {5, 5, 5}, contrast});
          break;
      }
      const StudyVerdict expected = scenario == Scenario::Stay ? StudyVerdict::Stable
                                    : scenario == Scenario::Grow || scenario == Scenario::New
                                        ? StudyVerdict::Increasing
                                        : StudyVerdict::Decreasing;
      StudyVolume content1 = head, content2 = head;
      addLesions(content1, {first});
      addLesions(content2, lesions2);
      const Motion m1 = randomMotion(random), m2 = randomMotion(random);
      const double g1 = gain(random), g2 = gain(random);
      std::vector<StudyVolume> followUps;
      for (int f = 0; f < 2; ++f) {
        const StudyVolume& content = f == 0 ? content1 : content2;
        StudyVolume v = condition.motion ? moveContent(content, f == 0 ? m1 : m2) : content;
        if (condition.gainNoise)
          gainAndNoise(v, f == 0 ? g1 : g2, 0.03 * masks.brightLevel,
                       static_cast<std::uint32_t>(n * 2 + f));
        if (condition.bias) biasField(v, 0.1);
        if (condition.thickSecond && f == 1)
          v = thickSlices(v, static_cast<int>(std::lround(3 / v.spacingMm[2])));
        followUps.push_back(std::move(v));
      }
      if (!writeDir.empty() && n == 0) {
        const std::string prefix = writeDir + "/" + std::to_string(conditionsRun) + "-";
        writeNiftiGz(prefix + "base.nii.gz", head);
        writeNiftiGz(prefix + "followup1.nii.gz", followUps[0]);
        writeNiftiGz(prefix + "followup2.nii.gz", followUps[1]);
      }

      const auto start = std::chrono::steady_clock::now();
      std::vector<VolumeChange> changes;
      bool failed = false;
      for (int f = 0; f < 2 && !failed; ++f) {
        try {
          const RigidRegistration reg =
              registerRigid(head, followUps[static_cast<std::size_t>(f)], "case", masks.head);
          if (verbose)
            std::fprintf(stderr,
                         "case %d follow-up %d: rotation %.2f %.2f %.2f shift %.2f %.2f %.2f "
                         "metric %.4f%s\n",
                         n, f + 1, reg.rotationDeg[0], reg.rotationDeg[1], reg.rotationDeg[2],
                         reg.translationMm[0], reg.translationMm[1], reg.translationMm[2],
                         reg.metric,
                         reg.converged ? "" : (" NOT CONVERGED: " + reg.stopReason).c_str());
          changes.push_back(detectVolumeChange(head, masks, reg));
          if (verbose) {
            // What was found against what was put in: false lesions lie far from every true one.
            const VolumeChange& c = changes.back();
            const auto& truth = f == 0 ? std::vector<Lesion>{first} : lesions2;
            std::fprintf(stderr, "  noise %.2f, threshold %.2f\n", c.noiseSigma, c.threshold);
            for (const auto& t : truth)
              std::fprintf(
                  stderr, "  true lesion %.0f mm3\n",
                  4.0 / 3.0 * std::numbers::pi * t.radiiMm[0] * t.radiiMm[1] * t.radiiMm[2]);
            for (const auto& l : c.lesions) {
              double nearest = HUGE_VAL;
              for (const auto& t : truth)
                nearest = std::min(nearest, std::hypot(l.centroidMm[0] - t.centreMm[0],
                                                       l.centroidMm[1] - t.centreMm[1],
                                                       l.centroidMm[2] - t.centreMm[2]));
              std::fprintf(stderr, "  found %.0f mm3, mean change %.1f, %.1f mm from a true one\n",
                           l.volumeMm3, l.meanChange, nearest);
            }
          }
          std::vector<std::uint8_t> compare(brain.size());
          for (std::size_t i = 0; i < compare.size(); ++i) compare[i] = brain[i] && reg.covered[i];
          const double corr =
              correlation((f == 0 ? content1 : content2).values, reg.registered.values, compare);
          score.correlations.push_back(corr);
          score.registrationsGood += corr >= 0.97;
          ++score.registrations;
        } catch (const IoError& e) {
          std::fprintf(stderr, "case %d: %s\n", n, e.what());
          failed = true;
        }
      }
      score.seconds.push_back(
          std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
      ++score.cases;
      if (failed) continue;
      const int fresh = markNewLesions(changes[1], changes[0]);
      const StudyVerdict verdict =
          studyVerdict(changes[0].burdenVoxels(), changes[1].burdenVoxels(), fresh);
      score.verdictsRight += verdict == expected;
      if (verdict != expected)
        std::fprintf(stderr,
                     "%s case %d (%s, r %.1f mm): %s, expected %s; burdens %lld -> %lld, %d new\n",
                     condition.name, n, kScenarioNames[n % 5], r,
                     std::string(studyVerdictName(verdict)).c_str(),
                     std::string(studyVerdictName(expected)).c_str(),
                     static_cast<long long>(changes[0].burdenVoxels()),
                     static_cast<long long>(changes[1].burdenVoxels()), fresh);
    }
    std::printf("| %s | %d | %d (%.0f%%) | %d of %d (%.0f%%) | %.3f | %.1f |\n", condition.name,
                score.cases, score.verdictsRight,
                100.0 * score.verdictsRight / std::max(1, score.cases), score.registrationsGood,
                score.registrations,
                100.0 * score.registrationsGood / std::max(1, score.registrations),
                median(score.correlations), median(score.seconds));
    std::fflush(stdout);
    total.cases += score.cases;
    total.verdictsRight += score.verdictsRight;
    total.registrationsGood += score.registrationsGood;
    total.registrations += score.registrations;
    total.correlations.insert(total.correlations.end(), score.correlations.begin(),
                              score.correlations.end());
    total.seconds.insert(total.seconds.end(), score.seconds.begin(), score.seconds.end());
  }
  std::printf("| **all** | %d | %d (%.0f%%) | %d of %d (%.0f%%) | %.3f | %.1f |\n", total.cases,
              total.verdictsRight, 100.0 * total.verdictsRight / std::max(1, total.cases),
              total.registrationsGood, total.registrations,
              100.0 * total.registrationsGood / std::max(1, total.registrations),
              median(total.correlations), median(total.seconds));
  return 0;
}

}  // namespace pelk::simulation

int main(int argc, char** argv) {
  try {
    return pelk::simulation::run(argc, argv);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "validate-studies: %s\n", e.what());
    return 1;
  }
}
