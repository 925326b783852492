#pragma once
#include <string>

#include "importers/scan_volume.h"

namespace pelk {

// Reads a scan file of either kind: names ending in .nii or .nii.gz (in any letter case) are
// NIfTI, everything else is tried as DICOM, whose files carry no fixed extension. A missing,
// unreadable or oversized file gives the same errors as every other reader in the system.
ScanVolume readScan(const std::string& path);

}  // namespace pelk
