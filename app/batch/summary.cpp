#include "app/batch/summary.h"

#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include "app/batch/atomic_file.h"
#include "app/batch/csv_reader.h"
#include "app/batch/key_results.h"
#include "app/batch/manifest.h"
#include "app/batch/row_record.h"

namespace pelk {
namespace {

std::string seconds(double s) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f", s);
  return text;
}

}  // namespace

SummaryCounts writeSummary(const std::string& manifest, const std::string& outDir,
                           const std::string& runId) {
  namespace fs = std::filesystem;
  const fs::path path = fs::path(outDir) / "batch-summary.csv";
  const fs::path temporary = temporaryBeside(path);
  std::FILE* out = std::fopen(temporary.c_str(), "wb");
  if (!out) throw std::runtime_error("cannot write " + temporary.string());
  std::vector<std::string> header = {"row",    "line",    "patient", "test", "folder",
                                     "status", "skipped", "seconds", "error"};
  for (const std::string& name : KeyResults::columnNames()) header.push_back(name);
  std::string text = csvLine(header);
  std::fwrite(text.data(), 1, text.size(), out);

  SummaryCounts counts;
  ManifestReader reader(manifest);
  ManifestRow row;
  while (reader.next(row)) {
    ++counts.rows;
    std::vector<std::string> fields = {std::to_string(row.number), std::to_string(row.line),
                                       row.patient, row.test, row.folder};
    std::optional<RowRecord> record;
    if (row.error.empty()) record = readRowRecord(fs::path(outDir) / row.folder);
    if (record && record->run != runId) record.reset();  // a result of another run
    if (!row.error.empty()) {
      ++counts.failed;
      fields.insert(fields.end(), {"failed", "no", "", row.error});
    } else if (!record) {
      ++counts.notRun;
      fields.insert(fields.end(), {"not run", "no", "", ""});
    } else {
      ++(record->status == "completed" ? counts.completed : counts.failed);
      fields.insert(fields.end(), {record->status, record->skipped ? "yes" : "no",
                                   seconds(record->seconds), record->error});
    }
    const KeyResults found = record ? readKeyResults(fs::path(outDir) / row.folder) : KeyResults{};
    for (const std::string& value : found.columns()) fields.push_back(value);
    text = csvLine(fields);
    std::fwrite(text.data(), 1, text.size(), out);
  }
  const bool written = std::ferror(out) == 0;
  if (std::fclose(out) != 0 || !written || std::rename(temporary.c_str(), path.c_str()) != 0) {
    std::remove(temporary.c_str());
    throw std::runtime_error("cannot write " + path.string());
  }
  return counts;
}

}  // namespace pelk
