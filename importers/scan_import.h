#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "importers/intensity_window.h"
#include "importers/scan_volume.h"

namespace pelk {

struct ImportRequest {
  std::string source;  // a DICOM file, or a NIfTI .nii / .nii.gz volume
  std::string output;  // the nominal bitmap to write
  // 0-based index across the slice axis (the frame for DICOM); the middle slice when empty.
  std::optional<std::int64_t> slice;
  // An explicit window; when empty the file's own is used, else the robust one.
  std::optional<IntensityWindow> window;
};

// What was read and written, for the one-line summary.
struct ImportSummary {
  std::string format;
  std::array<std::int64_t, 3> size{};
  std::array<double, 3> spacingMm{};
  bool spacingAssumed = false;
  int sliceAxis = 2;
  std::int64_t slice = 0;
  IntensityWindow window;
  WindowSource windowSource = WindowSource::Robust;
  double outputSpacingMm = 1.0;
};

// Reads one slice of the scan, windows it, lays it out radiologically, fits it into 512 x 512 and
// writes the nominal bitmap. The output appears whole or not at all: on any failure an existing
// file of that name is left as it was. Throws IoError with a clear reason.
ImportSummary importScan(const ImportRequest& request);

// The same on a scan already read with readScan (scan_reader.h), for a front end that reads first
// and then asks which of volume.sliceCount() slices to take; request.source only names it.
ImportSummary importVolume(const ScanVolume& volume, const ImportRequest& request);

// One line: format, source, dimensions, spacing, slice, window, output and its pixel size.
std::string describeImport(const ImportRequest& request, const ImportSummary& summary);

}  // namespace pelk
