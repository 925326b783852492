#pragma once
#include <cstdint>
#include <string>

namespace pelk::fuzz {

// An 8-bit grey bitmap in the nominal layout (1078-byte header and palette, then the pixels,
// bottom row first), with a pattern of bright blocks on a dark ground so that every reader
// finds something to count, map or grow.
inline std::string greyBitmap(int width, int height, int seed = 0) {
  std::string s(1078, '\0');
  auto put32 = [&](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  const std::uint32_t pixels = static_cast<std::uint32_t>(width) * static_cast<std::uint32_t>(height);
  s[0] = 'B';
  s[1] = 'M';
  put32(2, 1078 + pixels);
  put32(10, 1078);
  put32(14, 40);
  put32(18, static_cast<std::uint32_t>(width));
  put32(22, static_cast<std::uint32_t>(height));
  s[26] = 1;
  s[28] = 8;
  put32(34, pixels);
  put32(46, 256);
  for (int i = 0; i < 256; ++i) s[54 + 4 * i] = s[55 + 4 * i] = s[56 + 4 * i] = static_cast<char>(i);
  for (int r = 0; r < height; ++r)
    for (int c = 0; c < width; ++c) {
      const bool bright = ((r + seed) / 5 + c / 7) % 3 == 0;
      s.push_back(static_cast<char>(bright ? 120 + (r * 7 + c * 3 + seed) % 130 : (r + c + seed) % 90));
    }
  return s;
}

}  // namespace pelk::fuzz
