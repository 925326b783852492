#pragma once
#include <string>
#include <vector>

#include "report/picture_report.h"
#include "report/report_pictures.h"
#include "report/run_results.h"

namespace pelk {

// The sections of the picture report, each an HTML fragment; an empty string when the run did
// not produce what the section shows. A result file that is there but unreadable makes its
// section say so instead of showing a number.
std::string traceSection(const ReportRequest& request, const std::vector<ScanFile>& scans);
std::string verdictSection(const ReportedRun& results);
std::string pictureSection(const std::filesystem::path& folder, const ReportedRun& results,
                           const std::vector<ScanFile>& scans);
std::string chartSection(const ReportedRun& results, const std::vector<EarlierRun>& history);
std::string tableSection(const ReportedRun& results);

// The significance thresholds the rank analyses compare their figure with.
inline constexpr double kRra1Threshold = 1.5;
inline constexpr double kRra2Threshold = 10.0;
// Tables show at most this many rows; the full lists stay in the result files.
inline constexpr std::size_t kTableRows = 20;

}  // namespace pelk
