#include "regions/tform150.h"

#include "common/file_io.h"
#include "common/fixed_files.h"
#include "common/format.h"

namespace pelk {
namespace {

// The labels "tpa.dat" puts after each value; the SQL export reads the values by line number.
// Group 2's last two differ from group 1's, and stored files carry them that way.
struct FileLabels {
  const char* medianIntensity;
  const char* tumorIndex;
};
constexpr FileLabels kGroup1Labels{" Median Intensity", " Tumor Idx"};
constexpr FileLabels kGroup2Labels{" Median Instensity", " Tumor Index 2"};

// Writes one group's lines to "tpa.dat" and the log, each value as soon as it is at hand.
void reportGroup(const ClusterGroup& g, const char* title, const FileLabels& labels, OutFile& out,
                 ModuleLog& log) {
  auto value = [&](double v, const char* fileLabel, const char* logLabel) {
    const std::string text = realText(v, 9, 3);
    out.line(text + fileLabel);
    log.add(logLabel + text);
  };
  out.line(title);
  log.add(title);
  value(g.totalArea, " Total Area", "Total Area: ");
  value(g.meanArea, " Mean Area", "Mean Area: ");
  value(g.medianArea, " Median Area", "Median Area: ");
  log.add("   ");
  value(g.totalIntensity, " Total Intensity", "Total Intensity: ");
  value(g.meanIntensity, " Mean Intensity", "Mean Intensity: ");
  value(g.medianIntensity, labels.medianIntensity, "Median Intensity: ");
  value(g.tumorIndex, labels.tumorIndex, "Tumor Index: ");
  log.add("   ");
}

}  // namespace

void TForm150::setClusterFileNames(const std::string& name1, const std::string& name2) {
  name1_ = name1;
  name2_ = name2;
  group1_ = ClusterGroup{};
  group2_ = ClusterGroup{};
}

void TForm150::doTumorAnalysis() {
  // Both files are read and checked before "tpa.dat" is touched.
  TextReader in1 = TextReader::open(name1_);
  TextReader in2 = TextReader::open(name2_);
  group1_ = readClusterGroup(in1);
  group2_ = readClusterGroup(in2);
  evaluateClusterGroup(group1_);
  evaluateClusterGroup(group2_);

  OutFile out(kProgressionResults);
  out.line("Statistical Results");
  Memo1.add("Statistical Results");
  reportGroup(group1_, "Group 1", kGroup1Labels, out, Memo1);
  reportGroup(group2_, "Group 2", kGroup2Labels, out, Memo1);
  const char* verdict = progressionVerdict(group1_.tumorIndex, group2_.tumorIndex);
  Memo1.add(verdict);
  out.line(verdict);
  out.close();
}

}  // namespace pelk
