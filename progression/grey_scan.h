#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pelk {

// An 8-bit grey scan as the robust analysis sees it: pixels in picture order (top row first,
// left to right), each byte taken as the grey level, and the pixel spacing when the file
// carries one.
struct GreyScan {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;
  double mmPerPixelX = 0.0;  // 0 when the file says nothing usable about its spacing
  double mmPerPixelY = 0.0;

  bool hasSpacing() const { return mmPerPixelX > 0.0 && mmPerPixelY > 0.0; }
  double mm2PerPixel() const { return mmPerPixelX * mmPerPixelY; }
  std::uint8_t at(int x, int y) const {
    return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                  static_cast<std::size_t>(x)];
  }
};

// Unlike the legacy readers, this one honours the file's own layout (pixel offset, row padding,
// top-down rows) and refuses what it cannot read as an 8-bit grey picture, with an IoError that
// names the file: not a bitmap, not 8 bits per pixel, compressed, a size of 0 or beyond
// kMaxScanSide, or fewer pixel bytes than the header announces.
GreyScan readGreyScan(const std::string& path);
GreyScan parseGreyScan(std::string_view bytes, const std::string& path);

// Four times the nominal 512 each way; beyond it the working images would need gigabytes.
inline constexpr int kMaxScanSide = 4096;

}  // namespace pelk
