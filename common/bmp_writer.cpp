#include "common/bmp_writer.h"

#include <cmath>
#include <limits>

namespace pelk {
namespace {

void put16(std::string& out, std::uint32_t v) {
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>((v >> 8) & 0xFF));
}

void put32(std::string& out, std::uint32_t v) {
  put16(out, v & 0xFFFF);
  put16(out, v >> 16);
}

}  // namespace

std::uint32_t bmpPixelsPerMetre(double mmPerPixel) {
  if (!(mmPerPixel > 0.0) || !std::isfinite(mmPerPixel)) return 0;
  const double ppm = std::round(1000.0 / mmPerPixel);
  return ppm > std::numeric_limits<std::int32_t>::max() ? 0 : static_cast<std::uint32_t>(ppm);
}

std::size_t bmpRowBytes(std::int32_t width, int bitsPerPixel) {
  return (static_cast<std::size_t>(width) * static_cast<std::size_t>(bitsPerPixel) / 8 + 3) / 4 * 4;
}

void appendBmpHeader(std::string& out, const BmpHeader& header) {
  const bool grey = header.bitsPerPixel == 8;
  const auto offset =
      static_cast<std::uint32_t>(grey ? kGreyBmpPixelOffset : kColourBmpPixelOffset);
  out += "BM";
  put32(out, offset + header.pixelBytes);
  put32(out, 0);  // reserved
  put32(out, offset);
  put32(out, 40);  // information header size
  put32(out, static_cast<std::uint32_t>(header.width));
  put32(out, static_cast<std::uint32_t>(header.height));
  put16(out, 1);  // planes
  put16(out, static_cast<std::uint32_t>(header.bitsPerPixel));
  put32(out, 0);  // no compression
  put32(out, header.pixelBytes);
  put32(out, header.xPixelsPerMetre);
  put32(out, header.yPixelsPerMetre);
  put32(out, grey ? 256 : 0);  // colours used
  put32(out, header.importantColours);
  if (!grey) return;
  for (int i = 0; i < 256; ++i) {
    const char level = static_cast<char>(i);
    out += {level, level, level, '\0'};
  }
}

std::string greyBmpBytes(std::int32_t width, std::int32_t height, const std::string& pixels) {
  std::string out;
  out.reserve(kGreyBmpPixelOffset + pixels.size());
  appendBmpHeader(
      out,
      {.width = width, .height = height, .pixelBytes = static_cast<std::uint32_t>(pixels.size())});
  out += pixels;
  return out;
}

}  // namespace pelk
