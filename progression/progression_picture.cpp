#include "progression/progression_picture.h"

#include "common/bmp_writer.h"

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

std::uint32_t greyColour(std::uint8_t g) {
  return g | (g << 8) | (static_cast<std::uint32_t>(g) << 16);
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
  const std::size_t stride = bmpRowBytes(width, 24);
  const std::size_t imageSize = stride * static_cast<std::size_t>(height);
  std::string s;
  s.reserve(kColourBmpPixelOffset + imageSize);
  appendBmpHeader(s, {.width = width,
                      .height = height,
                      .bitsPerPixel = 24,
                      .pixelBytes = static_cast<std::uint32_t>(imageSize),
                      .xPixelsPerMetre = bmpPixelsPerMetre(mmPerPixelX),
                      .yPixelsPerMetre = bmpPixelsPerMetre(mmPerPixelY)});
  s.resize(kColourBmpPixelOffset + imageSize);
  for (int y = 0; y < height; ++y) {
    char* row =
        s.data() + kColourBmpPixelOffset + static_cast<std::size_t>(height - 1 - y) * stride;
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
