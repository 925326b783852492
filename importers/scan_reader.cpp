#include "importers/scan_reader.h"

#include <algorithm>
#include <cctype>

#include "common/file_io.h"
#include "importers/dicom_reader.h"
#include "importers/nifti_reader.h"

namespace pelk {
namespace {

bool endsWithNoCase(const std::string& text, const std::string& suffix) {
  if (text.size() < suffix.size()) return false;
  return std::equal(suffix.begin(), suffix.end(),
                    text.end() - static_cast<std::ptrdiff_t>(suffix.size()), [](char a, char b) {
                      return std::tolower(static_cast<unsigned char>(a)) ==
                             std::tolower(static_cast<unsigned char>(b));
                    });
}

}  // namespace

ScanVolume readScan(const std::string& path) {
  (void)readFileHead(path, 1);  // not found, not a regular file, too large: the system's wording
  if (endsWithNoCase(path, ".nii") || endsWithNoCase(path, ".nii.gz")) return readNiftiScan(path);
  return readDicomScan(path);
}

}  // namespace pelk
