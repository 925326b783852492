#pragma once
#include <string>

#include "importers/scan_volume.h"

namespace pelk {

// Reads the first 3-D volume of a single-file NIfTI-1 or NIfTI-2 image (.nii, or gzipped
// .nii.gz) of any real or integer voxel type, through scl_slope/scl_inter. Patient axes come from
// the sform when its code is set, else the qform. With neither, i, j and k are assumed to run
// towards the patient's right, front and head, as in the scanner space the format defines; the
// file itself does not say. The slice axis is the voxel axis nearest head-to-foot; cal_min/
// cal_max, when they form a range, are the file's own window. Throws IoError with the reason for
// a bad magic, a two-file pair, unsupported voxel types, sizes beyond the scan limits (checked
// before any voxel is loaded) and short or unreadable data.
ScanVolume readNiftiScan(const std::string& path);

}  // namespace pelk
