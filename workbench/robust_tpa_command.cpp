#include "common/rounding.h"
#include "progression/progression_picture.h"
#include "progression/robust_tpa.h"
#include "workbench/workbench.h"

// "Robust Tumour Progression": the aligned, normalised progression analysis of the standard scan
// (baseline) against the reference and third scans, beside the legacy "10." command, whose files
// and lines it leaves alone.

namespace pelk {

void Workbench::RobustTpaClick() { runCommand([this] { robustTumorProgression(); }); }

void Workbench::robustTumorProgression() {
  RobustTpaResult result = runRobustTpa(Edit1, Edit2, Edit3);
  writeRobustTpaOutputs(result);
  for (std::string& line : resultsSection(result)) append(std::move(line));
  appendReady();

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
