#include "studies/scan_or_series.h"

#include <filesystem>
#include <utility>

#include "importers/scan_reader.h"
#include "studies/study_reader.h"

namespace pelk {

ScanVolume readScanOrSeries(const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::is_directory(path, ec)) return readScan(path);
  StudyVolume study = readStudy(path);
  ScanVolume scan;
  // Both frames are the patient's: +x left, +y back, +z head.
  scan.format = std::move(study.description);
  scan.size = study.size;
  scan.spacingMm = study.spacingMm;
  scan.axes = study.axes;
  scan.sliceAxis = 2;  // the series' own stacking axis
  scan.values = std::move(study.values);
  return scan;
}

}  // namespace pelk
