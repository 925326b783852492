#include "progression/progression_picture.h"

#include <cmath>

namespace pelk {
namespace {

std::uint32_t blend(std::uint8_t grey, std::uint32_t colour) {
  std::uint32_t out = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const std::uint32_t channel = ((colour >> shift) & 0xFFu) + grey;
    out |= (channel / 2) << shift;
  }
  return out;
}

std::uint32_t greyColour(std::uint8_t g) { return g | (g << 8) | (static_cast<std::uint32_t>(g) << 16); }

void put16(std::string& s, std::size_t at, std::uint32_t v) {
  s[at] = static_cast<char>(v & 0xFF);
  s[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}

void put32(std::string& s, std::size_t at, std::uint32_t v) {
  put16(s, at, v & 0xFFFF);
  put16(s, at + 2, v >> 16);
}

std::uint32_t pixelsPerMetre(double mmPerPixel) {
  return mmPerPixel > 0.0 ? static_cast<std::uint32_t>(std::lround(1000.0 / mmPerPixel)) : 0;
}

}  // namespace

std::vector<std::uint32_t> progressionPicture(const RobustTpaResult& r) {
  std::vector<std::uint32_t> out(r.baseline.size());
  for (std::size_t i = 0; i < out.size(); ++i) {
    const bool in1 = r.lesions1[i] != 0, in2 = r.lesions2[i] != 0;
    const std::uint8_t g = r.baseline[i];
    if (in1 && in2) out[i] = blend(g, kPersistentColour);
    else if (in2) out[i] = blend(g, kGrowthColour);
    else if (in1) out[i] = blend(g, kShrinkageColour);
    else out[i] = greyColour(g);
  }
  return out;
}

std::string bitmap24Bytes(int width, int height, const std::vector<std::uint32_t>& colours,
                          double mmPerPixelX, double mmPerPixelY) {
  constexpr std::size_t kHeaderSize = 54;
  const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
  const std::size_t imageSize = stride * static_cast<std::size_t>(height);
  std::string s(kHeaderSize + imageSize, '\0');
  s[0] = 'B';
  s[1] = 'M';
  put32(s, 2, static_cast<std::uint32_t>(s.size()));
  put32(s, 10, kHeaderSize);
  put32(s, 14, 40);
  put32(s, 18, static_cast<std::uint32_t>(width));
  put32(s, 22, static_cast<std::uint32_t>(height));
  put16(s, 26, 1);
  put16(s, 28, 24);
  put32(s, 34, static_cast<std::uint32_t>(imageSize));
  put32(s, 38, pixelsPerMetre(mmPerPixelX));
  put32(s, 42, pixelsPerMetre(mmPerPixelY));
  for (int y = 0; y < height; ++y) {
    char* row = s.data() + kHeaderSize + static_cast<std::size_t>(height - 1 - y) * stride;
    for (int x = 0; x < width; ++x) {
      const std::uint32_t c = colours[static_cast<std::size_t>(y) * width + x];
      row[3 * x] = static_cast<char>((c >> 16) & 0xFF);     // blue
      row[3 * x + 1] = static_cast<char>((c >> 8) & 0xFF);  // green
      row[3 * x + 2] = static_cast<char>(c & 0xFF);         // red
    }
  }
  return s;
}

}  // namespace pelk
