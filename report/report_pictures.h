#pragma once
#include <filesystem>
#include <string>
#include <vector>

#include "report/raster.h"
#include "report/run_results.h"

namespace pelk {

// A scan the run named: its bytes' digest and size, and the picture when it decodes.
struct ScanFile {
  std::string role;  // "Standard", "Reference", "Third"
  std::string name;  // as the run named it
  bool found = false;
  long long bytes = 0;
  std::string sha256;
  DecodedBitmap decoded;
};
ScanFile readScan(const std::filesystem::path& folder, const std::string& role,
                  const std::string& name);

// A bitmap result file of the folder (diffbmp.bmp, progression.bmp, study.bmp), or why not.
DecodedBitmap readResultBitmap(const std::filesystem::path& folder, const std::string& name);

// The image view is 385 x 329 pixels whatever the scan's size; MCHS positions are on it.
inline constexpr int kViewWidth = 385;
inline constexpr int kViewHeight = 329;

// The scan with every listed MCHS block shaded red where the view marks it, scaled from the
// view to the scan's own pixels.
Raster withMchsMarks(const Raster& scan, const std::vector<ReportedMchsBlock>& blocks);

// Appends a <figure> with the picture inline as PNG, its alt text and caption, at its true aspect
// ratio. The pictures are most of the report's bytes, so they go straight into it.
void appendPictureFigure(std::string& out, const Raster& picture, const std::string& alt,
                         const std::string& caption);

}  // namespace pelk
