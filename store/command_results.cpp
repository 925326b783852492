#include <array>
#include <filesystem>

#include "common/file_io.h"
#include "common/fixed_files.h"
#include "common/io_error.h"
#include "common/sha256.h"
#include "store/result_files.h"
#include "store/run_recorder.h"

namespace pelk {
namespace {

// What each command word reads and which of its result files the store keeps.
struct CommandShape {
  std::string_view word;
  bool standard, reference, third;
  bool rra1, rra2, mchs, zchs, cluster1, progression, robust;
  bool study = false;
};

constexpr std::array<CommandShape, 16> kShapes = {{
    {"plot-std", true, false, false, false, false, false, false, false, false, false},
    {"plot-ref", false, true, false, false, false, false, false, false, false, false},
    {"rra1", true, true, false, true, false, false, false, false, false, false},
    {"rra2", true, true, false, false, true, false, false, false, false, false},
    {"mchs", true, true, false, false, false, true, false, false, false, false},
    {"zchs", true, true, false, false, false, false, true, false, false, false},
    {"cluster", true, true, false, false, false, false, false, true, false, false},
    {"diff", true, true, false, false, false, false, false, false, false, false},
    {"tpa", true, true, true, false, false, false, false, false, true, false},
    {"synopsis1", true, true, false, true, true, true, true, true, false, false},
    {"synopsis2", true, true, true, false, false, false, false, false, true, false},
    {"robust-tpa", true, true, true, false, false, false, false, false, false, true},
    {"load-std", true, false, false, false, false, false, false, false, false, false},
    {"load-ref", false, true, false, false, false, false, false, false, false, false},
    {"load-third", false, false, true, false, false, false, false, false, false, false},
    {"study", true, true, true, false, false, false, false, false, false, false, true},
}};

const CommandShape* shapeOf(const std::string& command) {
  for (const CommandShape& s : kShapes)
    if (s.word == command) return &s;
  return nullptr;  // commands without scans or results: plot, tes, save-image, ...
}

ScanRecord describe(std::string role, const std::string& path) {
  ScanRecord scan{std::move(role), path, std::nullopt, std::nullopt, std::nullopt, std::nullopt};
  std::string bytes;
  try {
    bytes = readWholeFile(path);
  } catch (const IoError&) {
    return scan;  // the command says why; the run keeps the name it was given
  }
  scan.size = static_cast<std::int64_t>(bytes.size());
  scan.sha256 = sha256Hex({reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()});
  if (bytes.size() >= 26 && bytes.starts_with("BM")) {
    auto le32 = [&](std::size_t at) {
      std::uint32_t v = 0;
      for (int k = 3; k >= 0; --k) v = v << 8 | static_cast<unsigned char>(bytes[at + k]);
      return static_cast<std::int32_t>(v);
    };
    scan.width = le32(18);
    scan.height = le32(22);
  }
  return scan;
}

}  // namespace

std::vector<std::string> resultFilesOf(const std::string& command, const std::string& folder) {
  const CommandShape* s = shapeOf(command);
  if (!s) return {};
  std::vector<std::string> files;
  if (s->rra1) files.push_back(kRra1Script);
  if (s->rra2) files.push_back(kRra2Script);
  if (s->mchs) files.push_back(kHighlightResults);
  if (s->zchs) files.push_back(kZonalResults);
  if (s->cluster1 || s->progression) files.push_back(kClusterSummary1);
  if (s->progression) {
    files.push_back(kClusterSummary2);
    files.push_back(kProgressionResults);
  }
  if (s->robust) files.push_back("progression.json");
  if (s->study) files.push_back("study.json");
  if (!folder.empty())
    for (std::string& file : files) file = (std::filesystem::path(folder) / file).string();
  return files;
}

RunResults collectResults(const std::string& command,
                          const std::function<bool(const std::string&)>& fresh,
                          const std::string& folder) {
  RunResults r;
  const CommandShape* s = shapeOf(command);
  if (!s) return r;
  auto in = [&](const char* name) {
    return folder.empty() ? std::string(name) : (std::filesystem::path(folder) / name).string();
  };
  auto wrote = [&](const char* name) { return fresh(in(name)); };
  if (s->rra1 && wrote(kRra1Script)) r.rank.push_back(readRankScript(in(kRra1Script), "RRA-1"));
  if (s->rra2 && wrote(kRra2Script)) r.rank.push_back(readRankScript(in(kRra2Script), "RRA-2"));
  if (s->mchs && wrote(kHighlightResults)) r.mchs = readMchsResults(in(kHighlightResults));
  if (s->zchs && wrote(kZonalResults)) r.zchs = readZchsZones(in(kZonalResults));
  if ((s->cluster1 || s->progression) && wrote(kClusterSummary1))
    r.clusters = readClusterRegions(in(kClusterSummary1), 1);
  if (s->progression && wrote(kClusterSummary2)) {
    auto group2 = readClusterRegions(in(kClusterSummary2), 2);
    r.clusters.insert(r.clusters.end(), group2.begin(), group2.end());
  }
  if (s->progression && wrote(kProgressionResults))
    r.progression = readProgressionTotals(in(kProgressionResults));
  if (s->robust && wrote("progression.json"))
    r.robust = readRobustProgression(in("progression.json"));
  if (s->study && wrote("study.json")) {
    r.study = readStudyResults(in("study.json"));
    std::error_code ec;
    r.study->folder = std::filesystem::absolute(folder.empty() ? "." : folder, ec).string();
  }
  return r;
}

std::vector<ScanRecord> describeScans(const std::string& command, const CommandInputs& inputs) {
  std::vector<ScanRecord> scans;
  const CommandShape* s = shapeOf(command);
  if (!s) return scans;
  // A study's scans are the baseline and its follow-ups; the second follow-up is optional.
  const char* const roles[] = {s->study ? "baseline" : "standard",
                               s->study ? "followup1" : "reference",
                               s->study ? "followup2" : "third"};
  if (s->standard) scans.push_back(describe(roles[0], inputs.standard));
  if (s->reference) scans.push_back(describe(roles[1], inputs.reference));
  if (s->third && !(s->study && inputs.third.empty()))
    scans.push_back(describe(roles[2], inputs.third));
  return scans;
}

}  // namespace pelk
