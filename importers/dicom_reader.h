#pragma once
#include <string>

#include "importers/scan_volume.h"

namespace pelk {

// Reads a DICOM image: single-frame or multi-frame, MONOCHROME1 or MONOCHROME2, 8 or 16 bits
// allocated with up to as many stored, signed or unsigned, uncompressed or compressed with RLE,
// JPEG, JPEG-LS or JPEG 2000 (the last through GDCM, DCMTK having no codec for it). Values go through Rescale Slope/Intercept; the first Window Center/Width pair
// becomes the file's own window. Pixel Spacing and Image Orientation (Patient) are taken from the
// top level or, for enhanced multi-frame files, from the first functional group that has them
// (one value for every frame). Without Pixel Spacing 1 mm is assumed and flagged. Throws IoError
// with the reason for anything else: not DICOM, truncated, colour, a compression neither toolkit
// decodes, missing or short pixel data, sizes beyond the scan limits.
ScanVolume readDicomScan(const std::string& path);

}  // namespace pelk
