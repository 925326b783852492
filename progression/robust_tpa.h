#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "progression/progression_verdict.h"

namespace pelk {

// One lesion: a connected region of significant positive change of a follow-up against the
// baseline.
struct Lesion {
  int followUp = 1;  // 1 or 2
  long long areaPixels = 0;
  double meanChange = 0.0;  // grey levels on the baseline's scale
  double centroidX = 0.0;   // picture coordinates: x from the left, y from the top
  double centroidY = 0.0;
  bool isNew = false;  // follow-up 2 only: overlaps no lesion of follow-up 1
};

// How a follow-up was brought onto the baseline, and what that says about the legacy analysis,
// which compares raw grey levels position by position.
struct FollowUpAlignment {
  std::string name;
  double shiftX = 0.0;  // pixels, motion of the picture's centre
  double shiftY = 0.0;
  double rotationDeg = 0.0;          // clockwise as the picture is shown
  double largestDisplacement = 0.0;  // pixels, anywhere in the picture
  double correlation = 0.0;
  double gain = 1.0;  // follow-up ≈ gain × baseline + offset
  double offset = 0.0;
  double tissueChange = 0.0;  // grey levels the gain and offset move typical tissue by
  double scanNoise = 0.0;     // robust estimate of one scan's grey-level noise
  double noiseSigma = 0.0;    // of the filtered difference
  double threshold = 0.0;     // grey levels
  long long burdenPixels = 0;
  std::vector<std::string> legacyWarnings;
};

struct RobustTpaResult {
  std::string baselineName;
  int width = 0;
  int height = 0;
  double mmPerPixelX = 0.0;  // the baseline's pixel spacing; 0 when it carries none
  double mmPerPixelY = 0.0;
  FollowUpAlignment followUps[2];
  std::vector<Lesion> lesions;  // follow-up 1's, then follow-up 2's, each largest first
  long long burden1 = 0;        // pixels
  long long burden2 = 0;
  int newLesions = 0;
  ProgressionVerdict verdict = ProgressionVerdict::Stable;

  // For the picture: the baseline and both lesion masks, picture order, width × height each.
  std::vector<std::uint8_t> baseline;
  std::vector<std::uint8_t> lesions1;
  std::vector<std::uint8_t> lesions2;

  bool hasSpacing() const { return mmPerPixelX > 0.0 && mmPerPixelY > 0.0; }
  double mm2PerPixel() const { return mmPerPixelX * mmPerPixelY; }
};

// The robust progression analysis of a baseline scan and two follow-ups (8-bit grey bitmaps of
// one size). Each follow-up is aligned rigidly to the baseline, brought to its grey scale over
// unchanged tissue, and differenced without wrap-around; lesions are the significant positive
// changes; the verdict compares the lesion burdens of the follow-ups. Missing or unreadable
// scans, sizes that differ, blank scans and scans that cannot be aligned end with an IoError
// naming the cause.
RobustTpaResult runRobustTpa(const std::string& baseline, const std::string& followUp1,
                             const std::string& followUp2);

// Writes "progression.json", "progression.txt" and "progression.bmp" into `folder`.
void writeRobustTpaOutputs(const RobustTpaResult& result, const std::string& folder = ".");

// The section the workbench appends to its results area.
std::vector<std::string> resultsSection(const RobustTpaResult& result);

}  // namespace pelk
