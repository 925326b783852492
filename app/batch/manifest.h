#pragma once
#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unordered_map>
#include <vector>

#include "app/batch/csv_reader.h"

namespace pelk {

// What a row compares: three bitmaps, or three studies the study command matches first.
enum class RowKind { Scans, Studies };

// One manifest row, ready to run or already known to be bad.
struct ManifestRow {
  long number = 0;  // data rows counted from 1, the header not counted
  long line = 0;    // where the row starts in the manifest
  RowKind kind = RowKind::Scans;
  std::string patient, test, hospital, date;
  std::array<std::string, 3> inputs;  // std, ref, third or baseline, followup1, followup2, resolved
  std::string folder;                 // DIR-relative "<patient>/<test>"
  std::string error;                  // why the row cannot run; empty when it can

  // The row as one CSV line and back, to hand it to another worker through the claims table.
  std::string serialize() const;
  static ManifestRow deserialize(const std::string& text);
};

// Streams a manifest: the header names the columns, each later record becomes a row. Rows that
// cannot run (too few or too many fields, broken quoting, an empty or repeated patient/test)
// come out with their error set, so they are reported instead of stopping the batch. Remembers
// only fingerprints of each row's folder and patient/test pair, a few dozen bytes a row. Two
// pairs whose folders differ only in case get hash-suffixed folders from the second on, since a
// case-insensitive file system would give them one folder.
class ManifestReader {
 public:
  // Throws std::runtime_error when the file cannot be opened or its header names no usable set
  // of columns.
  explicit ManifestReader(const std::filesystem::path& manifest);
  ~ManifestReader();
  ManifestReader(const ManifestReader&) = delete;
  ManifestReader& operator=(const ManifestReader&) = delete;

  RowKind kind() const { return kind_; }
  bool next(ManifestRow& row);

 private:
  std::FILE* file_ = nullptr;
  CsvReader reader_;
  std::filesystem::path base_;
  RowKind kind_ = RowKind::Scans;
  std::size_t columnCount_ = 0;
  // Column index of patient, test, hospital, date, then the three inputs.
  std::array<int, 7> column_{};
  struct FolderUse {
    std::uint64_t pair;  // fingerprint of the patient/test pair that has the folder
    long row;
  };
  std::unordered_map<std::uint64_t, FolderUse> folders_;  // fingerprint of the folder, case folded
  long count_ = 0;
  CsvRecord record_;
};

}  // namespace pelk
