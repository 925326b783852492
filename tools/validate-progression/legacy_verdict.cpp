#include "tools/validate-progression/legacy_verdict.h"

#include "common/file_io.h"
#include "common/fixed_files.h"
#include "common/io_error.h"
#include "maps/tform120.h"
#include "regions/tform130.h"
#include "regions/tform150.h"

namespace pelk::validation {
namespace {

void clusters(const std::string& standard, const std::string& other,
              const std::string& clusterFile) {
  TForm120 difference;
  difference.setFileNames(standard, other);
  difference.doDiffBmp();
  TForm130 finder;
  finder.setFileNames(kDifferenceImage, clusterFile);
  finder.doCluster();
}

}  // namespace

std::optional<ProgressionVerdict> legacyVerdict(const std::string& baseline,
                                                const std::string& followUp1,
                                                const std::string& followUp2) {
  try {
    clusters(baseline, followUp1, kClusterList1);
    clusters(baseline, followUp2, kClusterList2);
    TForm150 progression;
    progression.setClusterFileNames(kClusterSummary1, kClusterSummary2);
    progression.doTumorAnalysis();
  } catch (const IoError&) {
    return std::nullopt;
  }
  const std::string tpa = readWholeFile(kProgressionResults);
  if (tpa.find("Tumor Progression is INCREASING") != std::string::npos)
    return ProgressionVerdict::Increasing;
  if (tpa.find("Tumor Progression is DECREASING") != std::string::npos)
    return ProgressionVerdict::Decreasing;
  if (tpa.find("Tumor Progression is STABLE (NO CHANGE)") != std::string::npos)
    return ProgressionVerdict::Stable;
  return std::nullopt;
}

}  // namespace pelk::validation
