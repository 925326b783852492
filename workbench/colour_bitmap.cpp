#include "workbench/colour_bitmap.h"

#include <cstdint>
#include <string_view>

#include "common/bmp_writer.h"
#include "common/file_io.h"
#include "common/io_error.h"

namespace pelk {
namespace {

constexpr std::int64_t kMaxSide = 16384;
constexpr std::size_t kHeadersSize = 14 + 40;

std::uint32_t le32(std::string_view b, std::size_t at) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}

std::uint32_t le16(std::string_view b, std::size_t at) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8;
}

}  // namespace

Picture readColourBitmap(const std::string& path) {
  const std::string bytes = readWholeFile(path);
  const auto refuse = [&path](const std::string& why) {
    return IoError("Cannot show " + path + ": " + why);
  };
  if (bytes.size() < kHeadersSize || bytes.compare(0, 2, "BM") != 0)
    throw refuse("not a bitmap file");
  if (le16(bytes, 28) != 24 || le32(bytes, 30) != 0)
    throw refuse("not an uncompressed 24-bit bitmap");
  const auto width = static_cast<std::int64_t>(static_cast<std::int32_t>(le32(bytes, 18)));
  const auto signedHeight = static_cast<std::int64_t>(static_cast<std::int32_t>(le32(bytes, 22)));
  const std::int64_t height = signedHeight < 0 ? -signedHeight : signedHeight;
  if (width <= 0 || height == 0 || width > kMaxSide || height > kMaxSide)
    throw refuse("a side of " + std::to_string(width) + " x " + std::to_string(signedHeight) +
                 " pixels");
  const std::size_t offset = le32(bytes, 10);
  const std::size_t rowBytes = bmpRowBytes(static_cast<std::int32_t>(width), 24);
  const std::size_t lastRowEnd =
      static_cast<std::size_t>(height - 1) * rowBytes + static_cast<std::size_t>(width) * 3;
  if (offset < kHeadersSize || offset > bytes.size() || bytes.size() - offset < lastRowEnd)
    throw refuse("the pixel rows end early");

  Picture picture(static_cast<int>(width), static_cast<int>(height));
  for (std::int64_t row = 0; row < height; ++row) {
    const std::int64_t y = signedHeight > 0 ? height - 1 - row : row;
    std::size_t at = offset + static_cast<std::size_t>(row) * rowBytes;
    for (std::int64_t x = 0; x < width; ++x, at += 3) {
      const auto blue = static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at]));
      const auto green = static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 1]));
      const auto red = static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 2]));
      picture.setPixel(static_cast<int>(x), static_cast<int>(y), blue << 16 | green << 8 | red);
    }
  }
  return picture;
}

void drawFitted(const Picture& source, Picture& view) {
  view.fill(0xFFFFFFu);
  if (source.width() == 0 || source.height() == 0) return;
  // Scale by whichever side is tighter, in integer arithmetic so every pixel maps the same way.
  const bool widthBound =
      std::int64_t{view.width()} * source.height() <= std::int64_t{view.height()} * source.width();
  const int shownWidth =
      widthBound ? view.width()
                 : static_cast<int>(std::int64_t{view.height()} * source.width() / source.height());
  const int shownHeight =
      widthBound ? static_cast<int>(std::int64_t{view.width()} * source.height() / source.width())
                 : view.height();
  const int left = (view.width() - shownWidth) / 2;
  const int top = (view.height() - shownHeight) / 2;
  for (int y = 0; y < shownHeight; ++y) {
    const int sy = static_cast<int>(std::int64_t{y} * source.height() / shownHeight);
    for (int x = 0; x < shownWidth; ++x) {
      const int sx = static_cast<int>(std::int64_t{x} * source.width() / shownWidth);
      view.setPixel(left + x, top + y, source.pixel(sx, sy));
    }
  }
}

}  // namespace pelk
