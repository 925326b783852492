#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace pelk {

// The one writer of bitmap headers. An 8-bit bitmap carries a grey palette (entry i = i, i, i)
// and its pixels start at byte 1078; a 24-bit one has no palette and starts at byte 54. The
// pixel rows, bottom row first, are the caller's to append.
struct BmpHeader {
  std::int32_t width = 0;
  std::int32_t height = 0;
  int bitsPerPixel = 8;          // 8 or 24
  std::uint32_t pixelBytes = 0;  // the image size field; the file size adds the header
  std::uint32_t xPixelsPerMetre = 0;
  std::uint32_t yPixelsPerMetre = 0;
  std::uint32_t importantColours = 0;  // 0 (all of them) or, for 8 bits, 256
};

inline constexpr std::size_t kGreyBmpPixelOffset = 14 + 40 + 256 * 4;
inline constexpr std::size_t kColourBmpPixelOffset = 14 + 40;

// The resolution field for pixels `mmPerPixel` apart, rounded; 0 (unknown) for a spacing that is
// not a positive finite number or gives more than the field's signed range.
std::uint32_t bmpPixelsPerMetre(double mmPerPixel);

// The bytes of one pixel row padded to a multiple of four, as a reader of the layout expects.
std::size_t bmpRowBytes(std::int32_t width, int bitsPerPixel);

// Appends the file header, the information header and, for 8 bits, the grey palette.
void appendBmpHeader(std::string& out, const BmpHeader& header);

// An 8-bit grey bitmap of `pixels` as given (bottom row first, already padded or not): the
// headers with the image size field set to pixels.size(), then the pixels.
std::string greyBmpBytes(std::int32_t width, std::int32_t height, const std::string& pixels);

}  // namespace pelk
