#include <cstring>

#include "report/raster.h"

namespace pelk {
namespace {

std::uint32_t u32(const std::string& b, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<std::uint8_t>(b[at + i]);
  return v;
}
std::uint16_t u16(const std::string& b, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<std::uint8_t>(b[at]) |
                                    static_cast<std::uint8_t>(b[at + 1]) << 8);
}

DecodedBitmap failure(const std::string& name, const std::string& why) {
  DecodedBitmap d;
  d.error = name + ": " + why;
  return d;
}

// Scans are at most a few thousand pixels a side; anything larger is a damaged header.
constexpr std::int64_t kMaxSide = 8192;

}  // namespace

DecodedBitmap decodeBitmap(const std::string& b, const std::string& name) {
  if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') return failure(name, "not a bitmap file");
  const std::uint32_t pixelStart = u32(b, 10);
  const auto width = static_cast<std::int32_t>(u32(b, 18));
  const auto rawHeight = static_cast<std::int32_t>(u32(b, 22));
  const int bits = u16(b, 28);
  const std::uint32_t compression = u32(b, 30);
  const auto xPerMetre = static_cast<std::int32_t>(u32(b, 38));
  const auto yPerMetre = static_cast<std::int32_t>(u32(b, 42));
  const bool topDown = rawHeight < 0;
  const std::int64_t height = topDown ? -std::int64_t{rawHeight} : rawHeight;
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide)
    return failure(name,
                   "unusable size " + std::to_string(width) + " x " + std::to_string(rawHeight));
  if ((bits != 8 && bits != 24) || compression != 0)
    return failure(name, std::to_string(bits) + "-bit or compressed bitmaps are not shown");
  const std::size_t rowBytes = (static_cast<std::size_t>(width) * (bits / 8) + 3) / 4 * 4;
  // The legacy scans have no row padding to speak of; accept a last row without its padding.
  const std::size_t needed = pixelStart + rowBytes * static_cast<std::size_t>(height - 1) +
                             static_cast<std::size_t>(width) * (bits / 8);
  if (pixelStart < 54 || b.size() < needed)
    return failure(name, "truncated: " + std::to_string(b.size()) + " of " +
                             std::to_string(needed) + " bytes");

  // The palette is whatever lies between the header and the pixels, four bytes an entry.
  std::uint8_t palette[256][3];
  for (int i = 0; i < 256; ++i)
    palette[i][0] = palette[i][1] = palette[i][2] = static_cast<std::uint8_t>(i);
  if (bits == 8) {
    const std::size_t headerEnd = 14 + u32(b, 14);
    const std::size_t entries = headerEnd < pixelStart ? (pixelStart - headerEnd) / 4 : 0;
    for (std::size_t i = 0; i < entries && i < 256; ++i) {
      const std::size_t at = headerEnd + 4 * i;
      palette[i][0] = static_cast<std::uint8_t>(b[at + 2]);
      palette[i][1] = static_cast<std::uint8_t>(b[at + 1]);
      palette[i][2] = static_cast<std::uint8_t>(b[at]);
    }
  }

  DecodedBitmap d;
  d.picture = Raster(width, static_cast<int>(height));
  for (int y = 0; y < height; ++y) {
    const std::size_t stored = static_cast<std::size_t>(topDown ? y : height - 1 - y);
    const auto* row =
        reinterpret_cast<const std::uint8_t*>(b.data()) + pixelStart + stored * rowBytes;
    for (int x = 0; x < width; ++x) {
      std::uint8_t* px = d.picture.at(x, y);
      if (bits == 8) {
        std::memcpy(px, palette[row[x]], 3);
      } else {
        px[0] = row[3 * x + 2];
        px[1] = row[3 * x + 1];
        px[2] = row[3 * x];
      }
    }
  }
  if (xPerMetre > 0 && yPerMetre > 0)
    d.picture.aspectHeight = static_cast<double>(height) * xPerMetre / yPerMetre;
  return d;
}

}  // namespace pelk
