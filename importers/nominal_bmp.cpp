#include "importers/nominal_bmp.h"

#include <cstdint>
#include <cstring>

#include "common/bmp_writer.h"

namespace pelk {
namespace {

constexpr std::size_t kHeaderBytes = kGreyBmpPixelOffset;
constexpr std::size_t kPixelBytes = std::size_t{kNominalSide} * kNominalSide;

}  // namespace

std::string nominalBmpBytes(const NominalPicture& picture) {
  const std::uint32_t resolution = bmpPixelsPerMetre(picture.spacingMm);
  std::string bytes;
  bytes.reserve(kHeaderBytes + kPixelBytes);
  appendBmpHeader(bytes, {.width = kNominalSide,
                          .height = kNominalSide,
                          .pixelBytes = static_cast<std::uint32_t>(kPixelBytes),
                          .xPixelsPerMetre = resolution,
                          .yPixelsPerMetre = resolution,
                          .importantColours = 256});
  bytes.resize(kHeaderBytes + kPixelBytes);
  for (int row = 0; row < kNominalSide; ++row) {
    const auto source = static_cast<std::size_t>(kNominalSide - 1 - row) * kNominalSide;
    std::memcpy(bytes.data() + kHeaderBytes + static_cast<std::size_t>(row) * kNominalSide,
                picture.pixels.data() + source, kNominalSide);
  }
  return bytes;
}

}  // namespace pelk
