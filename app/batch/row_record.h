#pragma once
#include <filesystem>
#include <optional>
#include <string>

namespace pelk {

// What the batch remembers of a row in the row's own folder ("batch-row.txt"). A row counts as
// completed only while this file says so; it is removed before the row runs again and written,
// by rename, only after the row's command has ended.
struct RowRecord {
  std::string status;  // "completed" or "failed"
  double seconds = 0;
  std::string error;
  std::string hash;      // of the inputs the row ran on
  std::string worker;    // who ran it
  std::string run;       // the batch run that ran the row or found it done
  bool skipped = false;  // found completed with the same inputs instead of run again
};

inline constexpr const char* kRowRecordName = "batch-row.txt";

std::optional<RowRecord> readRowRecord(const std::filesystem::path& rowDir);
void writeRowRecord(const std::filesystem::path& rowDir, const RowRecord& record);
void removeRowRecord(const std::filesystem::path& rowDir);

}  // namespace pelk
