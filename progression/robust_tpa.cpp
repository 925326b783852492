#include "progression/robust_tpa.h"

#include <algorithm>
#include <cmath>

#include <opencv2/core.hpp>

#include "common/io_error.h"
#include "progression/change_detection.h"
#include "progression/grey_scan.h"
#include "progression/intensity_match.h"
#include "progression/legacy_reliability.h"
#include "progression/rigid_registration.h"

namespace pelk {
namespace {

// Smaller pictures leave the median filter and the registration pyramid nothing to work on.
constexpr int kMinScanSide = 32;
// A scan whose grey levels span less than this shows no anatomy.
constexpr int kMinContrast = 16;

std::string sizeText(const GreyScan& s) {
  return std::to_string(s.width) + " x " + std::to_string(s.height);
}

cv::Mat matOf(GreyScan& scan) {
  return cv::Mat(scan.height, scan.width, CV_8U, scan.pixels.data());
}

std::vector<std::uint8_t> bytesOf(const cv::Mat& mask) {
  cv::Mat continuous = mask.isContinuous() ? mask : mask.clone();
  return {continuous.datastart, continuous.dataend};
}

void checkScan(const GreyScan& scan, const std::string& role, const std::string& path) {
  if (scan.width < kMinScanSide || scan.height < kMinScanSide) {
    throw IoError("Scan too small for the progression analysis (" + sizeText(scan) + ", at least " +
                  std::to_string(kMinScanSide) + " x " + std::to_string(kMinScanSide) +
                  "): " + role + " " + path);
  }
  auto [lo, hi] = std::minmax_element(scan.pixels.begin(), scan.pixels.end());
  if (*hi - *lo < kMinContrast) throw IoError("Blank scan (no contrast): " + role + " " + path);
}

struct FollowUpAnalysis {
  FollowUpAlignment report;
  ChangeMap change;
};

FollowUpAnalysis analyseFollowUp(const cv::Mat& baseline, const cv::Mat& followUp,
                                 const std::string& name, const char* role) {
  FollowUpAnalysis a;
  a.report.name = name;
  const RigidAlignment alignment = alignToBaseline(baseline, followUp, role);
  cv::Mat resampled, inside;
  resampleOntoBaseline(followUp, alignment, resampled, inside);
  const cv::Mat tissue = tissueMask(baseline, inside);
  const IntensityFit fit = fitIntensity(baseline, resampled, tissue, role);
  const cv::Mat normalised = normaliseIntensity(resampled, fit);
  a.change = detectChange(baseline, normalised, inside, tissue);

  cv::Mat base, raw;
  baseline.convertTo(base, CV_32F);
  cv::subtract(normalised, base, raw);

  FollowUpAlignment& r = a.report;
  r.shiftX = alignment.shiftX;
  r.shiftY = alignment.shiftY;
  r.rotationDeg = alignment.rotationDeg;
  r.largestDisplacement = largestDisplacement(alignment, baseline.cols, baseline.rows);
  r.correlation = alignment.correlation;
  r.gain = fit.gain;
  r.offset = fit.offset;
  r.tissueChange = (fit.gain - 1.0) * fit.tissueLevel + fit.offset;
  // The difference of two scans carries the noise of both.
  r.scanNoise = robustSigma(raw, tissue, 2) / std::sqrt(2.0);
  r.noiseSigma = a.change.noiseSigma;
  r.threshold = a.change.threshold;
  r.burdenPixels = a.change.burden();
  return a;
}

void addLesions(RobustTpaResult& result, const ChangeMap& change, int followUp) {
  for (const auto& c : change.components) {
    Lesion l;
    l.followUp = followUp;
    l.areaPixels = c.area;
    l.meanChange = c.meanChange;
    l.centroidX = c.centroidX;
    l.centroidY = c.centroidY;
    l.isNew = c.isNew;
    result.lesions.push_back(l);
  }
}

void checkSameSize(const GreyScan& base, const GreyScan& other, const std::string& role,
                   const std::string& path) {
  if (other.width != base.width || other.height != base.height) {
    throw IoError("Scan sizes differ: the baseline is " + sizeText(base) + ", " + role + " " +
                  path + " is " + sizeText(other));
  }
}

RobustTpaResult analyse(GreyScan& base, GreyScan& first, GreyScan& second,
                        const std::string& baselinePath, const std::string& followUp1Path,
                        const std::string& followUp2Path) {
  const cv::Mat baseline = matOf(base);
  FollowUpAnalysis a1 = analyseFollowUp(baseline, matOf(first), followUp1Path, "follow-up 1");
  FollowUpAnalysis a2 = analyseFollowUp(baseline, matOf(second), followUp2Path, "follow-up 2");

  RobustTpaResult result;
  result.baselineName = baselinePath;
  result.width = base.width;
  result.height = base.height;
  result.mmPerPixelX = base.mmPerPixelX;
  result.mmPerPixelY = base.mmPerPixelY;
  result.newLesions = markNewLesions(a2.change, a1.change.lesionMask);
  result.followUps[0] = a1.report;
  result.followUps[1] = a2.report;
  result.followUps[0].legacyWarnings = legacyWarnings(a1.report, 1);
  result.followUps[1].legacyWarnings = legacyWarnings(a2.report, 2);
  addLesions(result, a1.change, 1);
  addLesions(result, a2.change, 2);
  result.burden1 = a1.report.burdenPixels;
  result.burden2 = a2.report.burdenPixels;
  result.verdict = progressionVerdict(result.burden1, result.burden2, result.newLesions);
  result.baseline = base.pixels;
  result.lesions1 = bytesOf(a1.change.lesionMask);
  result.lesions2 = bytesOf(a2.change.lesionMask);
  return result;
}

}  // namespace

RobustTpaResult runRobustTpa(const std::string& baselinePath, const std::string& followUp1Path,
                             const std::string& followUp2Path) {
  GreyScan base = readGreyScan(baselinePath);
  GreyScan first = readGreyScan(followUp1Path);
  GreyScan second = readGreyScan(followUp2Path);
  checkScan(base, "baseline", baselinePath);
  checkScan(first, "follow-up 1", followUp1Path);
  checkScan(second, "follow-up 2", followUp2Path);
  checkSameSize(base, first, "follow-up 1", followUp1Path);
  checkSameSize(base, second, "follow-up 2", followUp2Path);
  try {
    return analyse(base, first, second, baselinePath, followUp1Path, followUp2Path);
  } catch (const cv::Exception& e) {
    // OpenCV reports its own failures as exceptions of its type; the workbench shows IoErrors.
    throw IoError("Robust progression analysis failed: " + e.msg);
  }
}

}  // namespace pelk
