#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace pelk {

// A colour picture for the report, top row first, three bytes (red, green, blue) a pixel.
struct Raster {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;
  // The height a viewer should give the picture for its width, from the pixel size the scan
  // carries (pixels per metre across and down); the pixel height when it carries none.
  double aspectHeight = 0;

  Raster() = default;
  Raster(int w, int h)
      : width(w), height(h), rgb(static_cast<std::size_t>(w) * h * 3), aspectHeight(h) {}
  std::uint8_t* at(int x, int y) {
    return rgb.data() + (static_cast<std::size_t>(y) * width + x) * 3;
  }
  const std::uint8_t* at(int x, int y) const {
    return rgb.data() + (static_cast<std::size_t>(y) * width + x) * 3;
  }
};

// A bitmap file decoded for display: 8 bits through its palette, or 24 bits; bottom-up or
// top-down rows. `error` says why there is no picture (missing, truncated, unsupported).
struct DecodedBitmap {
  Raster picture;
  std::string error;
  bool ok() const { return error.empty(); }
};
DecodedBitmap decodeBitmap(const std::string& bytes, const std::string& name);

}  // namespace pelk
