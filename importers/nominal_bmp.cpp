#include "importers/nominal_bmp.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace pelk {
namespace {

constexpr std::size_t kHeaderBytes = 1078;
constexpr std::size_t kPixelBytes = std::size_t{kNominalSide} * kNominalSide;

void put16(std::string& s, std::size_t at, std::uint16_t v) {
  s[at] = static_cast<char>(v & 0xFF);
  s[at + 1] = static_cast<char>(v >> 8);
}

void put32(std::string& s, std::size_t at, std::uint32_t v) {
  for (std::size_t i = 0; i < 4; ++i) s[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

std::uint32_t pixelsPerMetre(double spacingMm) {
  if (!(spacingMm > 0.0) || !std::isfinite(spacingMm)) return 0;
  const double ppm = std::round(1000.0 / spacingMm);
  return ppm > std::numeric_limits<std::int32_t>::max() ? 0 : static_cast<std::uint32_t>(ppm);
}

}  // namespace

std::string nominalBmpBytes(const NominalPicture& picture) {
  std::string bytes(kHeaderBytes + kPixelBytes, '\0');
  bytes[0] = 'B';
  bytes[1] = 'M';
  put32(bytes, 2, static_cast<std::uint32_t>(bytes.size()));
  put32(bytes, 10, kHeaderBytes);
  put32(bytes, 14, 40);
  put32(bytes, 18, kNominalSide);
  put32(bytes, 22, kNominalSide);
  put16(bytes, 26, 1);
  put16(bytes, 28, 8);
  put32(bytes, 34, kPixelBytes);
  const std::uint32_t resolution = pixelsPerMetre(picture.spacingMm);
  put32(bytes, 38, resolution);
  put32(bytes, 42, resolution);
  put32(bytes, 46, 256);
  put32(bytes, 50, 256);
  for (std::size_t i = 0; i < 256; ++i) {
    const char grey = static_cast<char>(i);
    bytes[54 + 4 * i] = bytes[55 + 4 * i] = bytes[56 + 4 * i] = grey;
  }
  for (int row = 0; row < kNominalSide; ++row) {
    const auto source = static_cast<std::size_t>(kNominalSide - 1 - row) * kNominalSide;
    std::memcpy(bytes.data() + kHeaderBytes + static_cast<std::size_t>(row) * kNominalSide,
                picture.pixels.data() + source, kNominalSide);
  }
  return bytes;
}

}  // namespace pelk
