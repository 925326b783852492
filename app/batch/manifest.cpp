#include "app/batch/manifest.h"

#include <cctype>
#include <stdexcept>

#include "app/batch/folder_names.h"
#include "app/batch/hash_fields.h"

namespace pelk {
namespace {

enum Column { kPatient, kTest, kHospital, kDate, kInput1, kInput2, kInput3 };

const std::array<const char*, 3> kScanColumns = {"std", "ref", "third"};
const std::array<const char*, 3> kStudyColumns = {"baseline", "followup1", "followup2"};

std::FILE* openManifest(const std::filesystem::path& manifest) {
  std::FILE* file = std::fopen(manifest.c_str(), "rb");
  if (!file) throw std::runtime_error("cannot open the manifest " + manifest.string());
  return file;
}

std::uint64_t fingerprint(const std::string& hexHash) {
  return std::stoull(hexHash.substr(0, 16), nullptr, 16);
}

std::string trimmed(std::string text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

ManifestReader::ManifestReader(const std::filesystem::path& manifest)
    : file_(openManifest(manifest)), reader_(file_) {
  base_ = std::filesystem::absolute(manifest).parent_path();
  CsvRecord header;
  if (!reader_.next(header)) {
    std::fclose(file_);
    throw std::runtime_error("the manifest " + manifest.string() + " is empty");
  }
  auto indexOf = [&](const std::string& name) {
    for (std::size_t i = 0; i < header.fields.size(); ++i) {
      std::string field = trimmed(header.fields[i]);
      // A spreadsheet may save the file with a byte-order mark before the first name.
      if (i == 0 && field.rfind("\xEF\xBB\xBF", 0) == 0) field.erase(0, 3);
      if (field == name) return static_cast<int>(i);
    }
    return -1;
  };
  column_ = {indexOf("patient"), indexOf("test"), indexOf("hospital"), indexOf("date"), -1, -1, -1};
  const bool scans = indexOf(kScanColumns[0]) >= 0;
  const bool studies = indexOf(kStudyColumns[0]) >= 0;
  std::string problem;
  if (column_[kPatient] < 0 || column_[kTest] < 0) problem = "needs the columns patient and test";
  else if (scans == studies)
    problem = "needs either std, ref, third or baseline, followup1, followup2";
  if (problem.empty()) {
    kind_ = scans ? RowKind::Scans : RowKind::Studies;
    const auto& names = scans ? kScanColumns : kStudyColumns;
    for (int i = 0; i < 3; ++i) {
      column_[kInput1 + i] = indexOf(names[i]);
      if (column_[kInput1 + i] < 0) problem = std::string("has no column ") + names[i];
    }
  }
  if (!problem.empty()) {
    std::fclose(file_);
    throw std::runtime_error("the manifest " + manifest.string() + " " + problem +
                             " in its header row");
  }
  columnCount_ = header.fields.size();
}

ManifestReader::~ManifestReader() { std::fclose(file_); }

bool ManifestReader::next(ManifestRow& row) {
  if (!reader_.next(record_)) return false;
  row = ManifestRow{};
  row.number = ++count_;
  row.line = record_.line;
  row.kind = kind_;
  const auto& f = record_.fields;
  if (!record_.error.empty()) {
    row.error = "line " + std::to_string(row.line) + ": " + record_.error;
    return true;
  }
  if (f.size() != columnCount_) {
    row.error = "line " + std::to_string(row.line) + " has " + std::to_string(f.size()) +
                " fields, the header " + std::to_string(columnCount_);
    return true;
  }
  auto field = [&](int column) { return column < 0 ? std::string() : f[column]; };
  row.patient = field(column_[kPatient]);
  row.test = field(column_[kTest]);
  row.hospital = field(column_[kHospital]);
  row.date = field(column_[kDate]);
  const auto& names = kind_ == RowKind::Scans ? kScanColumns : kStudyColumns;
  for (int i = 0; i < 3; ++i) {
    std::string path = trimmed(field(column_[kInput1 + i]));
    if (path.empty()) {
      row.error = std::string("no ") + names[i] + " given";
      continue;
    }
    row.inputs[i] = (base_ / path).lexically_normal().string();
  }
  if (row.patient.empty() || row.test.empty()) {
    row.error = "the patient and the test must not be empty";
    return true;
  }
  Sha256 pairHash;
  addField(pairHash, row.patient);
  addField(pairHash, row.test);
  const std::uint64_t pair = fingerprint(pairHash.hex());
  for (bool suffixed : {false, true}) {
    row.folder = safeFolderName(row.patient, suffixed) + "/" + safeFolderName(row.test, suffixed);
    std::string folded = row.folder;
    for (char& c : folded) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    auto [use, isNew] =
        folders_.emplace(fingerprint(sha256Hex(folded)), FolderUse{pair, row.number});
    if (isNew) break;
    if (use->second.pair == pair) {
      row.error = "the same patient and test as row " + std::to_string(use->second.row);
      row.folder.clear();  // the folder belongs to the first row
      break;
    }
  }
  return true;
}

std::string ManifestRow::serialize() const {
  return csvLine({std::to_string(number), std::to_string(line),
                  kind == RowKind::Scans ? "scans" : "studies", patient, test, hospital, date,
                  inputs[0], inputs[1], inputs[2], folder, error});
}

ManifestRow ManifestRow::deserialize(const std::string& text) {
  std::vector<std::string> f = parseCsvLine(text);
  if (f.size() != 12) throw std::runtime_error("a claimed row is damaged");
  ManifestRow row;
  row.number = std::stol(f[0]);
  row.line = std::stol(f[1]);
  row.kind = f[2] == "scans" ? RowKind::Scans : RowKind::Studies;
  row.patient = f[3];
  row.test = f[4];
  row.hospital = f[5];
  row.date = f[6];
  for (int i = 0; i < 3; ++i) row.inputs[i] = f[7 + i];
  row.folder = f[10];
  row.error = f[11];
  return row;
}

}  // namespace pelk
