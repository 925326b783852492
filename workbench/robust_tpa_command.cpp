#include "common/rounding.h"
#include "progression/progression_picture.h"
#include "progression/robust_tpa.h"
#include "workbench/workbench.h"

// "Robust Tumour Progression": the aligned, normalised progression analysis of the standard scan
// (baseline) against the reference and third scans, beside the legacy "10." command, whose files
// and lines it leaves alone.

namespace pelk {
namespace {

// Several lesions appearing at once between slices the analysis itself warns about are more
// likely different anatomy than disease: whole volumes, registered in 3-D, settle it.
constexpr int kManyNewLesions = 3;

bool pointsToStudyComparison(const RobustTpaResult& result) {
  const bool warned =
      !result.followUps[0].legacyWarnings.empty() || !result.followUps[1].legacyWarnings.empty();
  return warned && result.newLesions >= kManyNewLesions;
}

}  // namespace

void Workbench::RobustTpaClick() {
  runCommand([this] { robustTumorProgression(); });
}

void Workbench::robustTumorProgression() {
  RobustTpaResult result = runRobustTpa(Edit1, Edit2, Edit3);
  writeRobustTpaOutputs(result);
  for (std::string& line : resultsSection(result)) append(std::move(line));
  if (interactive_ && pointsToStudyComparison(result))
    append(
        "Many new lesions between slices that differ: compare whole volumes with"
        " Scans -> Compare studies...");
  appendReady();
  ViewShows = ViewContent::ProgressionOverlay;
  ViewCaption = "Progression overlay of " + Edit2 + " and " + Edit3 + " on " + Edit1;

  // The overlay fills the view the way a scan does: each view pixel takes the picture pixel
  // its position scales to.
  std::vector<std::uint32_t> overlay = progressionPicture(result);
  const long double sx = static_cast<long double>(result.width) / Image1.width();
  const long double sy = static_cast<long double>(result.height) / Image1.height();
  for (int y = 0; y < Image1.height(); ++y) {
    long long row = truncToInt(y * sy);
    for (int x = 0; x < Image1.width(); ++x) {
      long long col = truncToInt(x * sx);
      Image1.setPixel(x, y, overlay[static_cast<std::size_t>(row * result.width + col)]);
    }
  }
}

}  // namespace pelk
