#pragma once
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace pelk {

// One earlier run of the same patient, as the results database remembers it, for the chart of
// the lesion burden and the verdicts over time.
struct EarlierRun {
  std::string date;                     // as the store gives it, e.g. "2026-03-14"
  std::optional<double> robustBurden1;  // follow-up 1 against the baseline, pixels
  std::optional<double> robustBurden2;  // follow-up 2 against the baseline, pixels
  std::optional<double> legacyArea1;    // "10." total area of group 1, pixels
  std::optional<double> legacyArea2;    // "10." total area of group 2, pixels
  std::string legacyVerdict;            // empty when "10." did not run
  std::string robustVerdict;            // empty when the robust analysis did not run
  std::optional<double> studyVolume;    // a whole study: its latest follow-up's lesions, mm3
  std::string studyVerdict;             // empty when that study had one follow-up
};

// What the report needs beyond the working folder's result files.
struct ReportRequest {
  std::filesystem::path folder;  // the working folder the commands wrote into
  std::string patient = "*****", test = "*****", hospital = "*****", date = "*****";
  std::string programVersion;
  std::string madeAt;  // when the report is made, local time, as printed
  // The scans as the run named them (relative names resolve against the folder). Empty: taken
  // from the job lists and progression.json the run left.
  std::string standardScan, referenceScan, thirdScan;
  std::vector<EarlierRun> history;  // oldest first; no chart when empty
};

// The whole self-contained HTML document.
std::string pictureReportHtml(const ReportRequest& request);

// Writes the document to `path` under a temporary name first, so a failed write never leaves a
// half-written report under the final name. Throws IoError when it cannot be written.
void writePictureReport(const ReportRequest& request, const std::filesystem::path& path);

// The local time now as "YYYY-MM-DD HH:MM:SS" for ReportRequest::madeAt.
std::string localTimestamp();

}  // namespace pelk
