#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pelk {

// One scan a command read, as it was on disk when the command ran. A scan that could not be
// read keeps its path only.
struct ScanRecord {
  std::string role;  // "standard", "reference" or "third"
  std::string path;
  std::optional<std::int64_t> size;
  std::optional<std::string> sha256;
  std::optional<int> width;
  std::optional<int> height;
};

struct RankResult {
  std::string analysis;  // "RRA-1" or "RRA-2"
  double result = 0.0;
  bool significant = false;
};

struct MchsBlock {
  int idx = 0;
  int x = 0;
  int y = 0;
  double value = 0.0;
  int xb = 0;
  int yb = 0;
};

struct ZchsZone {
  int idx = 0;
  double zone = 0.0;
  double difference = 0.0;
};

struct ClusterRegion {
  int group = 1;  // 1: standard against reference, 2: standard against third
  int idx = 0;
  int x1 = 0;
  int y1 = 0;
  int dx = 0;
  int dy = 0;
  int area = 0;
  double intensity = 0.0;
  int xb = 0;
  int yb = 0;
};

// The totals of one region group of the tumour progression analysis, in file order.
struct ProgressionGroup {
  double totalArea = 0.0;
  double meanArea = 0.0;
  double medianArea = 0.0;
  double totalIntensity = 0.0;
  double meanIntensity = 0.0;
  double medianIntensity = 0.0;
  double tumorIndex = 0.0;
};

struct LegacyProgression {
  ProgressionGroup group1;
  ProgressionGroup group2;
  std::string verdict;  // "STABLE", "INCREASING" or "DECREASING"
};

struct RobustComponent {
  int followup = 1;
  std::int64_t area = 0;
  std::optional<double> areaMm2;
  double meanChange = 0.0;
  double centroidX = 0.0;
  double centroidY = 0.0;
  bool isNew = false;
};

struct RobustProgression {
  std::string verdict;
  std::int64_t burden1 = 0;
  std::int64_t burden2 = 0;
  std::optional<double> burden1Mm2;
  std::optional<double> burden2Mm2;
  int newLesions = 0;
  std::vector<RobustComponent> components;
};

// How one follow-up study was registered to the baseline.
struct StudyFollowUp {
  std::string path;
  std::array<double, 3> rotationDeg{};
  std::array<double, 3> translationMm{};
  double metric = 0.0;
  bool converged = true;
};

struct StudyLesion {
  int followup = 1;
  double volumeMm3 = 0.0;
  std::array<double, 3> centroidMm{};
  double meanChange = 0.0;
  bool isNew = false;
};

// The volumetric comparison of whole studies (study.json). With one follow-up there is no
// verdict and no change between follow-ups.
struct StudyProgression {
  std::string folder;  // where the study's files are, the matched slices among them
  std::vector<StudyFollowUp> followUps;
  std::int64_t slice = 0;
  std::optional<std::string> verdict;
  std::vector<double> burdenMm3;  // one per follow-up
  std::optional<double> growthMm3;
  std::optional<double> shrinkageMm3;
  int newLesions = 0;
  std::vector<StudyLesion> lesions;
};

// What one command left in its result files.
struct RunResults {
  std::vector<RankResult> rank;
  std::vector<MchsBlock> mchs;
  std::vector<ZchsZone> zchs;
  std::vector<ClusterRegion> clusters;
  std::optional<LegacyProgression> progression;
  std::optional<RobustProgression> robust;
  std::optional<StudyProgression> study;
};

// One command run, as the store keeps it. Times are UTC, ISO 8601 with milliseconds.
struct RunRecord {
  std::string programVersion;
  std::string startedAt;
  std::string endedAt;
  std::string workDir;
  std::string command;
  bool completed = true;
  std::string error;  // empty when completed
  std::string patient;
  std::string test;
  std::string hospital;
  std::string testDate;
  std::vector<ScanRecord> scans;
  RunResults results;
};

}  // namespace pelk
