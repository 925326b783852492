#pragma once
#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace pelk {

// One result file of the working folder as the report found it: absent (the run did not make
// it), read, or present but unusable, with the reason in words.
template <class T>
struct Loaded {
  std::string file;
  bool present = false;
  std::optional<T> data;
  std::string problem;  // set when present but unreadable
};

// RRA-1 or RRA-2: the figure and the determination the analysis wrote.
struct RankFigure {
  double value = 0;
  bool significant = false;
};

// One band of an intensity profile: its index and the four figures the profile file holds.
struct ProfileBand {
  long long band = 0, mean = 0, peak = 0, median = 0, adjusted = 0;
};

struct ReportedMchsBlock {
  long long idx = 0, x = 0, y = 0;  // x, y: position on the 385 x 329 image view
  double value = 0;
  long long xb = 0, yb = 0;
};

struct ReportedZchsZone {
  double zone = 0;
  double change = 0;
};

struct ReportedClusterRegion {
  long long x1 = 0, y1 = 0, dx = 0, dy = 0, area = 0;
  double intensity = 0;
  long long xb = 0, yb = 0;
};

// The figures of "10." (tpa.dat): per group of regions, then the verdict line.
struct ReportedLegacyProgression {
  struct Group {
    double totalArea = 0, meanArea = 0, medianArea = 0;
    double totalIntensity = 0, meanIntensity = 0, medianIntensity = 0, tumourIndex = 0;
  };
  std::array<Group, 2> groups;
  std::string verdict;  // STABLE, INCREASING or DECREASING
};

// What the robust analysis left in progression.json.
struct ReportedRobustProgression {
  struct FollowUp {
    std::string file;
    double shiftX = 0, shiftY = 0, rotation = 0, gain = 0, threshold = 0;
    long long burden = 0;
    std::vector<std::string> legacyWarnings;
  };
  struct Component {
    int followUp = 0;
    long long area = 0;
    std::optional<double> areaMm2;
    double meanChange = 0, centroidX = 0, centroidY = 0;
    bool isNew = false;
  };
  std::string verdict;
  long long burden1 = 0, burden2 = 0;
  std::optional<double> burden1Mm2, burden2Mm2;
  long long newLesions = 0;
  std::string baseline;
  std::vector<FollowUp> followUps;
  std::vector<Component> components;
};

// What a 3-D study left in study.json.
struct ReportedStudyResult {
  struct FollowUp {
    std::string path;
    std::array<double, 3> rotationDeg{};
    std::array<double, 3> translationMm{};
    std::optional<double> metric;
  };
  struct Lesion {
    int followUp = 0;
    double volumeMm3 = 0, meanChange = 0;
  };
  std::string baseline;
  std::vector<FollowUp> followUps;
  std::optional<long long> slice;
  std::optional<std::string> verdict;  // none with a single follow-up
  std::vector<double> burdenMm3;
  std::optional<double> growthMm3, shrinkageMm3;
  long long newLesions = 0;
  std::vector<Lesion> lesions;
};

// Everything the report reads from a working folder. Each reader takes the file's bytes and
// throws std::runtime_error with the reason when they do not hold what the file should.
RankFigure parseRankScript(const std::string& text);
std::vector<ProfileBand> parseProfile(const std::string& text);
std::vector<ReportedMchsBlock> parseMchsResults(const std::string& text);
std::vector<ReportedZchsZone> parseZchs(const std::string& text);
std::vector<ReportedClusterRegion> parseClusters(const std::string& text);
ReportedLegacyProgression parseLegacyProgression(const std::string& text);
ReportedRobustProgression parseRobustProgression(const std::string& text);
ReportedStudyResult parseStudy(const std::string& text);

struct ReportedRun {
  Loaded<RankFigure> rra1, rra2;
  Loaded<std::vector<ProfileBand>> profileStd, profileRef;
  Loaded<std::vector<ReportedMchsBlock>> mchs;
  Loaded<std::vector<ReportedZchsZone>> zchs;
  Loaded<std::vector<ReportedClusterRegion>> clusters1, clusters2;
  Loaded<ReportedLegacyProgression> legacy;
  Loaded<ReportedRobustProgression> robust;
  Loaded<ReportedStudyResult> study;
};
ReportedRun loadRunResults(const std::filesystem::path& folder);

}  // namespace pelk
