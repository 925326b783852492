#include "app/batch/row_record.h"

#include <cstdio>
#include <sstream>

#include "app/batch/atomic_file.h"
#include "common/replace_file.h"

namespace pelk {
namespace {

std::string oneLine(std::string text) {
  for (char& c : text)
    if (c == '\n' || c == '\r') c = ' ';
  return text;
}

}  // namespace

std::optional<RowRecord> readRowRecord(const std::filesystem::path& rowDir) {
  std::string content;
  if (!readSmallFile(rowDir / kRowRecordName, content)) return std::nullopt;
  RowRecord record;
  std::istringstream lines(content);
  std::string line;
  while (std::getline(lines, line)) {
    const auto eq = line.find('=');
    if (eq == std::string::npos) continue;
    const std::string key = line.substr(0, eq);
    std::string value = line.substr(eq + 1);
    if (key == "status") record.status = value;
    else if (key == "seconds") record.seconds = std::strtod(value.c_str(), nullptr);
    else if (key == "error") record.error = value;
    else if (key == "hash") record.hash = value;
    else if (key == "worker") record.worker = value;
    else if (key == "run") record.run = value;
    else if (key == "skipped") record.skipped = value == "yes";
  }
  if (record.status != "completed" && record.status != "failed") return std::nullopt;
  return record;
}

void writeRowRecord(const std::filesystem::path& rowDir, const RowRecord& record) {
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%.3f", record.seconds);
  replaceFileWhole((rowDir / kRowRecordName).string(),
                   "status=" + record.status + "\nseconds=" + seconds +
                       "\nerror=" + oneLine(record.error) + "\nhash=" + record.hash +
                       "\nworker=" + oneLine(record.worker) + "\nrun=" + record.run +
                       "\nskipped=" + (record.skipped ? "yes" : "no") + "\n");
}

void removeRowRecord(const std::filesystem::path& rowDir) {
  std::error_code ignored;
  std::filesystem::remove(rowDir / kRowRecordName, ignored);
}

}  // namespace pelk
