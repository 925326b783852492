#include "bench/picture_lines.h"

namespace pelk::bench {

Lines pictureLines(const Picture& view) {
  static constexpr char kHex[] = "0123456789abcdef";
  Lines lines;
  for (int y = 0; y < view.height(); ++y) {
    std::string row;
    row.reserve(static_cast<std::size_t>(view.width()) * 6);
    for (int x = 0; x < view.width(); ++x) {
      const std::uint32_t c = view.pixel(x, y);
      for (int shift = 20; shift >= 0; shift -= 4) row.push_back(kHex[(c >> shift) & 0xF]);
    }
    lines.push_back(std::move(row));
  }
  return lines;
}

}  // namespace pelk::bench
