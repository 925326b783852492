#include "tests/report/png_decode.h"

#include <png.h>

#include <cstring>

namespace pelk::test {

std::optional<Raster> decodePng(const std::string& bytes) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return std::nullopt;
  image.format = PNG_FORMAT_RGB;
  Raster out(static_cast<int>(image.width), static_cast<int>(image.height));
  if (!png_image_finish_read(&image, nullptr, out.rgb.data(), 0, nullptr)) {
    png_image_free(&image);
    return std::nullopt;
  }
  return out;
}

std::vector<std::string> inlinePngs(const std::string& html) {
  static const std::string kPrefix = "data:image/png;base64,";
  std::vector<std::string> out;
  for (std::size_t at = html.find(kPrefix); at != std::string::npos; at = html.find(kPrefix, at)) {
    at += kPrefix.size();
    std::string bytes;
    unsigned bits = 0;
    int count = 0;
    for (; at < html.size() && html[at] != '"'; ++at) {
      const char c = html[at];
      const char* digit =
          std::strchr("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/", c);
      if (c == '=' || !digit || c == 0) continue;
      bits = bits << 6 |
             static_cast<unsigned>(
                 digit - "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/");
      if (++count == 4) {
        bytes += static_cast<char>(bits >> 16);
        bytes += static_cast<char>(bits >> 8);
        bytes += static_cast<char>(bits);
        bits = 0;
        count = 0;
      }
    }
    if (count == 3) {
      bytes += static_cast<char>(bits >> 10);
      bytes += static_cast<char>(bits >> 2);
    } else if (count == 2) {
      bytes += static_cast<char>(bits >> 4);
    }
    out.push_back(std::move(bytes));
  }
  return out;
}

}  // namespace pelk::test
