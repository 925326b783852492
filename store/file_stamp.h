#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pelk {

// When a file was last written (nanoseconds) and its size, from one stat(): how the store tells
// that a command wrote a result file, or that a scan changed after it was hashed.
struct FileStamp {
  std::int64_t modifiedNs;
  std::uintmax_t size;
  bool operator==(const FileStamp&) const = default;
};

// Nothing when the file cannot be read.
std::optional<FileStamp> fileStampOf(const std::string& path);

struct FileState {
  std::string name;
  std::optional<FileStamp> stamp;  // none when the file could not be read
  bool operator==(const FileState&) const = default;
};

std::vector<FileState> fileStatesOf(const std::vector<std::string>& names);

}  // namespace pelk
