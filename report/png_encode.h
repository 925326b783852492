#pragma once
#include <string>

#include "report/raster.h"

namespace pelk {

// The picture as PNG file bytes (8-bit RGB). Throws std::runtime_error when the encoder fails.
std::string encodePng(const Raster& picture);

// "data:image/png;base64,…" for an <img> that needs no other file.
std::string pngDataUri(const std::string& pngBytes);

}  // namespace pelk
