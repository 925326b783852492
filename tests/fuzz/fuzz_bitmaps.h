#pragma once
#include <cstdint>
#include <string>

#include "common/bmp_writer.h"

namespace pelk::fuzz {

// An 8-bit grey bitmap in the nominal layout (1078-byte header and palette, then the pixels,
// bottom row first), with a pattern of bright blocks on a dark ground so that every reader
// finds something to count, map or grow.
inline std::string greyBitmap(int width, int height, int seed = 0) {
  std::string s;
  appendBmpHeader(
      s, {.width = width,
          .height = height,
          .pixelBytes = static_cast<std::uint32_t>(width) * static_cast<std::uint32_t>(height)});
  for (int r = 0; r < height; ++r)
    for (int c = 0; c < width; ++c) {
      const bool bright = ((r + seed) / 5 + c / 7) % 3 == 0;
      s.push_back(
          static_cast<char>(bright ? 120 + (r * 7 + c * 3 + seed) % 130 : (r + c + seed) % 90));
    }
  return s;
}

}  // namespace pelk::fuzz
