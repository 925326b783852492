#pragma once
#include <ostream>
#include <string>
#include <vector>

#include "report/picture_report.h"
#include "workbench/test_info.h"

namespace pelk {

// A report request for the working folder `folder` with the run's test information and scans.
ReportRequest cliReportRequest(const std::string& folder, const TestInformation& info,
                               const std::string& standard, const std::string& reference,
                               const std::string& third);

// The "report" word, with the words after it:
//   --dir DIR --out FILE.html [--std F --ref F --third F] [--patient … --test … --hospital … --date
//   …]
// writes the picture report of a folder an earlier run left. 0 when written, 1 when it could not
// be written (said on `err`), 2 for bad usage.
int runReportCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace pelk
