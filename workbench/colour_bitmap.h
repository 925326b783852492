#pragma once
#include <string>

#include "common/picture.h"

namespace pelk {

// Reads an uncompressed 24-bit bitmap, rows bottom-up or top-down, as a picture of its own size.
// Any other depth or compression, a side of 0 or over 16384 pixels, or pixel rows cut short is
// an IoError naming the file.
Picture readColourBitmap(const std::string& path);

// Draws `source` over the whole of `view`, scaled to fit with its proportions kept (each view
// pixel takes the source pixel it falls on), centred on white.
void drawFitted(const Picture& source, Picture& view);

}  // namespace pelk
