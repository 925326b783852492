#pragma once
#include <string>

#include "importers/nominal_resample.h"

namespace pelk {

// The bytes of the nominal scan bitmap: a 14-byte file header and a 40-byte information header
// (512 x 512, 8 bits per pixel, uncompressed, 256 colours), a grey palette (entry i is grey
// level i), then the 262,144 pixel bytes with the bottom row first - 263,222 bytes in all.
//
// Both resolution fields (offsets 38 and 42) hold the pixel size as pixels per metre,
// round(1000 / spacingMm), so a later analysis can turn pixel counts into mm²: an area of
// N pixels covers N * (1000 / resolution)² mm². The analyses themselves never read these fields.
std::string nominalBmpBytes(const NominalPicture& picture);

}  // namespace pelk
