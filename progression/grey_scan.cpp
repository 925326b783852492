#include "progression/grey_scan.h"

#include <cstdlib>

#include "common/file_io.h"
#include "common/io_error.h"

namespace pelk {
namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kMinInfoHeaderSize = 40;

std::uint32_t u16(std::string_view b, std::size_t at) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8;
}

std::uint32_t u32(std::string_view b, std::size_t at) { return u16(b, at) | u16(b, at + 2) << 16; }

std::int32_t s32(std::string_view b, std::size_t at) {
  return static_cast<std::int32_t>(u32(b, at));
}

// Paint programs stamp 72 or 96 dots per inch on every bitmap they save; that is a print
// resolution, not the scanner's pixel spacing, and reading it as one would report areas in mm²
// that are off by an order of magnitude.
bool isDisplayDefault(std::int32_t pixelsPerMetre) {
  return pixelsPerMetre == 2834 || pixelsPerMetre == 2835 || pixelsPerMetre == 3779 ||
         pixelsPerMetre == 3780;
}

// Spacing below a micrometre or above ten centimetres per pixel is no scan's.
double spacingMm(std::int32_t pixelsPerMetre) {
  if (pixelsPerMetre < 10 || pixelsPerMetre > 1000000 || isDisplayDefault(pixelsPerMetre))
    return 0.0;
  return 1000.0 / pixelsPerMetre;
}

}  // namespace

GreyScan parseGreyScan(std::string_view bytes, const std::string& path) {
  if (bytes.size() < kFileHeaderSize + kMinInfoHeaderSize || bytes[0] != 'B' || bytes[1] != 'M')
    throw IoError("Not a bitmap file: " + path);
  const std::uint32_t pixelOffset = u32(bytes, 10);
  const std::uint32_t infoSize = u32(bytes, 14);
  const std::int32_t width = s32(bytes, 18);
  const std::int32_t rawHeight = s32(bytes, 22);
  const std::uint32_t bitsPerPixel = u16(bytes, 28);
  const std::uint32_t compression = u32(bytes, 30);
  if (infoSize < kMinInfoHeaderSize) throw IoError("Unsupported bitmap header: " + path);
  if (bitsPerPixel != 8) throw IoError("Not an 8-bit grey bitmap: " + path);
  if (compression != 0) throw IoError("Compressed bitmaps are not supported: " + path);
  // INT32_MIN has no positive counterpart; it is refused with the other impossible sizes.
  const bool topDown = rawHeight < 0;
  const long long height = topDown ? -static_cast<long long>(rawHeight) : rawHeight;
  if (width <= 0 || height <= 0 || width > kMaxScanSide || height > kMaxScanSide)
    throw IoError("Unusable bitmap size " + std::to_string(width) + " x " + std::to_string(height) +
                  ": " + path);

  const std::size_t stride = (static_cast<std::size_t>(width) + 3) / 4 * 4;
  const std::size_t rows = static_cast<std::size_t>(height);
  if (pixelOffset > bytes.size() || bytes.size() - pixelOffset < stride * (rows - 1) + width)
    throw IoError("Truncated bitmap (fewer pixel bytes than its header announces): " + path);

  GreyScan scan;
  scan.width = width;
  scan.height = static_cast<int>(height);
  scan.pixels.resize(static_cast<std::size_t>(width) * rows);
  for (std::size_t y = 0; y < rows; ++y) {
    const std::size_t storedRow = topDown ? y : rows - 1 - y;
    const char* from = bytes.data() + pixelOffset + storedRow * stride;
    std::copy(from, from + width, reinterpret_cast<char*>(scan.pixels.data()) + y * width);
  }
  scan.mmPerPixelX = spacingMm(s32(bytes, 38));
  scan.mmPerPixelY = spacingMm(s32(bytes, 42));
  if (!scan.hasSpacing()) scan.mmPerPixelX = scan.mmPerPixelY = 0.0;
  return scan;
}

GreyScan readGreyScan(const std::string& path) { return parseGreyScan(readWholeFile(path), path); }

}  // namespace pelk
