#pragma once
#include <string>

#include "importers/scan_volume.h"

namespace pelk {

// The scan at `path` for importing one slice: a DICOM or NIfTI file as the importer reads it,
// or a folder holding a DICOM series, read whole by the study reader (the largest series, its
// slices in order along their normal) and taken as one scan across those slices.
ScanVolume readScanOrSeries(const std::string& path);

}  // namespace pelk
