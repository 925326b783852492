#pragma once
#include <string>

#include "report/raster.h"

namespace pelk {

// The picture as PNG file bytes (8-bit RGB). Throws std::runtime_error when the encoder fails.
std::string encodePng(const Raster& picture);

// Appends "data:image/png;base64,…" for an <img> that needs no other file.
void appendPngDataUri(std::string& out, const std::string& pngBytes);

}  // namespace pelk
