#pragma once
#include <string>

namespace pelk {

struct SummaryCounts {
  long rows = 0, completed = 0, failed = 0, notRun = 0;
};

// Writes DIR/batch-summary.csv: one line per manifest row, in manifest order, with its status in
// the run `runId` ("completed", "failed" or "not run"), time, error and key findings. Streams the
// manifest again and reads each row's record, so it costs the same memory for any length.
// Throws std::runtime_error when the file cannot be written.
SummaryCounts writeSummary(const std::string& manifest, const std::string& outDir,
                           const std::string& runId);

}  // namespace pelk
