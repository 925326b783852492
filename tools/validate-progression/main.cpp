// Scores the robust progression verdict, and the legacy one beside it, on simulated
// longitudinal series: every lesion case under every acquisition condition.
//
//   validate-progression [--cases N] [--mri-cases N] [--mri FILE | --no-mri] [--no-synthetic]
//                        [--no-samples] [--no-legacy] [--report FILE]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <time.h>
#include <unistd.h>
#include <vector>

#include "common/file_io.h"
#include "common/format.h"
#include "common/io_error.h"
#include "progression/robust_tpa.h"
#include "tools/validate-progression/acquisition.h"
#include "tools/validate-progression/legacy_verdict.h"
#include "tools/validate-progression/lesion_series.h"
#include "tools/validate-progression/mri_slices.h"
#include "tools/validate-progression/sample_heads.h"
#include "tools/validate-progression/scan_files.h"
#include "tools/validate-progression/scoring.h"

namespace pelk::validation {
namespace {

constexpr int kScanSide = 512;
constexpr const char* kDefaultVolume = "/usr/share/mricron/templates/ch2.nii.gz";

struct Options {
  int cases = 160;
  int mriCases = 160;
  std::string volume = kDefaultVolume;
  bool legacy = true;
  bool synthetic = true;
  bool samples = true;
  std::string report;
};

struct SeriesScore {
  std::string name;
  int cases = 0;
  std::vector<Confusion> robust, legacy;  // per condition
  std::vector<double> milliseconds;       // wall clock
  std::vector<double> cpuMilliseconds;    // all threads of the process
};

// The machine the harness runs on may be shared; processor time shows the analysis's own cost.
double processCpuMilliseconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

Options parse(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto next = [&]() -> std::string {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "validate-progression: %s needs a value\n", a.c_str());
        std::exit(2);
      }
      return argv[++i];
    };
    if (a == "--cases") o.cases = std::max(5, std::atoi(next().c_str()));
    else if (a == "--mri-cases") o.mriCases = std::max(5, std::atoi(next().c_str()));
    else if (a == "--mri") o.volume = next();
    else if (a == "--no-mri") o.volume.clear();
    else if (a == "--no-legacy") o.legacy = false;
    else if (a == "--no-synthetic") o.synthetic = false;
    else if (a == "--no-samples") o.samples = false;
    else if (a == "--report") o.report = next();
    else {
      std::fprintf(stderr,
                   "usage: validate-progression [--cases N] [--mri-cases N] "
                   "[--mri FILE | --no-mri] [--no-synthetic] [--no-samples] [--no-legacy] "
                   "[--report FILE]\n");
      std::exit(2);
    }
  }
  return o;
}

SeriesScore runSeries(const std::string& name, const std::vector<Anatomy>& anatomies,
                      bool perCaseSynthetic, int cases, const Options& options) {
  const auto conditions = standardConditions();
  SeriesScore score;
  score.name = name;
  score.cases = cases;
  score.robust.resize(conditions.size());
  score.legacy.resize(conditions.size());
  std::mt19937 rng(20261208);
  for (int i = 0; i < cases; ++i) {
    const Anatomy anatomy = perCaseSynthetic ? syntheticHeadSlice(kScanSide, 1000u + i)
                                             : anatomies[i % anatomies.size()];
    const LesionCase c = lesionCase(anatomy, i, rng);
    for (std::size_t k = 0; k < conditions.size(); ++k) {
      const auto scans = acquireSeries(anatomy, c, conditions[k], rng);
      writeScanBitmap("baseline.bmp", scans[0]);
      writeScanBitmap("followup1.bmp", scans[1]);
      writeScanBitmap("followup2.bmp", scans[2]);
      std::optional<ProgressionVerdict> robust;
      const auto start = std::chrono::steady_clock::now();
      const double cpuStart = processCpuMilliseconds();
      try {
        robust = runRobustTpa("baseline.bmp", "followup1.bmp", "followup2.bmp").verdict;
      } catch (const IoError& e) {
        std::fprintf(stderr, "case %d, %s: %s\n", i, conditions[k].name.c_str(), e.what());
      }
      const auto stop = std::chrono::steady_clock::now();
      score.cpuMilliseconds.push_back(processCpuMilliseconds() - cpuStart);
      score.milliseconds.push_back(std::chrono::duration<double, std::milli>(stop - start).count());
      score.robust[k].add(c.truth, robust);
      if (robust != c.truth) {
        std::fprintf(stderr, "miss: %s case %d (%s, truth %s, burdens %lld/%lld, new %d), %s: %s\n",
                     name.c_str(), i, courseName(c.course), verdictName(c.truth).data(),
                     c.trueBurden1, c.trueBurden2, c.trueNewLesions, conditions[k].name.c_str(),
                     robust ? verdictName(*robust).data() : "error");
      }
      if (options.legacy)
        score.legacy[k].add(c.truth,
                            legacyVerdict("baseline.bmp", "followup1.bmp", "followup2.bmp"));
    }
    if ((i + 1) % 20 == 0) std::fprintf(stderr, "%s: %d of %d cases\n", name.c_str(), i + 1, cases);
  }
  return score;
}

std::string percent(const Confusion& c) { return realText(c.accuracy(), 0, 1) + "%"; }

std::vector<std::string> report(const SeriesScore& s, bool legacy) {
  const auto conditions = standardConditions();
  std::vector<std::string> lines;
  lines.push_back("### " + s.name + " (" + std::to_string(s.cases) + " cases per condition)");
  lines.push_back("");
  lines.push_back(legacy ? "| condition | robust | legacy |" : "| condition | robust |");
  lines.push_back(legacy ? "|---|---:|---:|" : "|---|---:|");
  Confusion robustAll, legacyAll;
  for (std::size_t k = 0; k < conditions.size(); ++k) {
    robustAll.add(s.robust[k]);
    legacyAll.add(s.legacy[k]);
    std::string row = "| ";
    row += conditions[k].name;
    row += " | ";
    row += percent(s.robust[k]);
    row += " |";
    if (legacy) {
      row += " ";
      row += percent(s.legacy[k]);
      row += " |";
    }
    lines.push_back(row);
  }
  std::string all = "| **overall** | **";
  all += percent(robustAll);
  all += "** |";
  if (legacy) {
    all += " **";
    all += percent(legacyAll);
    all += "** |";
  }
  lines.push_back(all);
  lines.push_back("");
  for (const auto& l : robustAll.table("robust")) lines.push_back(l);
  lines.push_back("");
  if (legacy) {
    for (const auto& l : legacyAll.table("legacy")) lines.push_back(l);
    lines.push_back("");
  }
  for (auto [label, samples] :
       {std::pair{"wall clock", s.milliseconds}, {"processor time", s.cpuMilliseconds}}) {
    std::sort(samples.begin(), samples.end());
    if (samples.empty()) continue;
    lines.push_back(
        std::string("runRobustTpa on a 512 x 512 triple (three files read and analysed), ") +
        label + ": median " + realText(samples[samples.size() / 2], 0, 1) +
        " ms, 95th percentile " + realText(samples[samples.size() * 95 / 100], 0, 1) +
        " ms, slowest " + realText(samples.back(), 0, 1) + " ms.");
    lines.push_back("");
  }
  return lines;
}

}  // namespace
}  // namespace pelk::validation

int main(int argc, char** argv) {
  using namespace pelk::validation;
  const Options options = parse(argc, argv);
  const std::filesystem::path home = std::filesystem::current_path();
  std::string pattern =
      (std::filesystem::temp_directory_path() / "validate-progression-XXXXXX").string();
  if (!mkdtemp(pattern.data())) {
    std::perror("validate-progression: scratch folder");
    return 1;
  }
  const std::filesystem::path scratch = pattern;
  std::filesystem::current_path(scratch);

  // Each series is reported as soon as it is done: a long run stopped part-way keeps them.
  std::string text;
  auto publish = [&](const SeriesScore& score) {
    std::string part;
    for (const auto& line : report(score, options.legacy)) part += line + "\n";
    std::fwrite(part.data(), 1, part.size(), stdout);
    std::fflush(stdout);
    text += part;
    if (!options.report.empty()) pelk::writeWholeFile((home / options.report).string(), text);
  };
  if (options.synthetic)
    publish(runSeries("Synthetic head slices", {}, true, options.cases, options));
  if (options.samples) {
    publish(runSeries("Sample-scan heads (make-samples)", sampleHeadSlices(8), false, options.cases,
                      options));
  }
  if (!options.volume.empty()) {
    const auto slices = mriSlices(options.volume, kScanSide, 8);
    if (slices.empty()) {
      std::fprintf(stderr, "validate-progression: no MRI slices from %s; skipped\n",
                   options.volume.c_str());
    } else {
      publish(runSeries(
          "T1 MRI slices (" + std::filesystem::path(options.volume).filename().string() + ")",
          slices, false, options.mriCases, options));
    }
  }

  std::filesystem::current_path(home);
  std::error_code ec;
  std::filesystem::remove_all(scratch, ec);
  return 0;
}
