#include "common/picture.h"

#include <algorithm>
#include <cstdlib>

#include "common/bitmap_font.h"
#include "common/bmp_writer.h"
#include "common/file_io.h"

namespace pelk {
namespace {

constexpr std::uint32_t kWhite = 0xFFFFFFu;
constexpr std::uint32_t kBlack = 0;

// Line arithmetic on coordinates anywhere in the int range needs products beyond 64 bits.
__extension__ using Wide = __int128;

// floor(num / den) for den > 0.
Wide floorDiv(Wide num, Wide den) {
  Wide q = num / den;
  if ((num % den) < 0) --q;
  return q;
}

}  // namespace

Picture::Picture(int width, int height)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), kWhite) {}

void Picture::setPixel(int x, int y, std::uint32_t color) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
          static_cast<std::size_t>(x)] = color & 0xFFFFFFu;
}

std::uint32_t Picture::pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  return pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                 static_cast<std::size_t>(x)];
}

void Picture::moveTo(int x, int y) {
  penX_ = x;
  penY_ = y;
}

void Picture::lineTo(int x, int y) {
  const long long x0 = penX_;
  const long long y0 = penY_;
  const long long dx = static_cast<long long>(x) - x0;
  const long long dy = static_cast<long long>(y) - y0;
  penX_ = x;
  penY_ = y;
  const long long steps = std::max(std::llabs(dx), std::llabs(dy));
  if (steps == 0) return;

  // Walk the major axis one pixel a step, only over the steps that can land inside the picture,
  // so a line from far outside costs no more than one across the picture.
  const bool xMajor = std::llabs(dx) >= std::llabs(dy);
  const long long start = xMajor ? x0 : y0;
  const long long dir = (xMajor ? dx : dy) > 0 ? 1 : -1;
  const long long limit = xMajor ? width_ : height_;
  long long first = 0;
  long long last = steps - 1;  // the end point is not drawn
  if (dir > 0) {
    first = std::max(first, -start);
    last = std::min(last, limit - 1 - start);
  } else {
    first = std::max(first, start - (limit - 1));
    last = std::min(last, start);
  }
  const long long minorDelta = xMajor ? dy : dx;
  const long long minorStart = xMajor ? y0 : x0;
  for (long long t = first; t <= last; ++t) {
    // The minor coordinate rounded to the nearest pixel (halves upward).
    const long long minor = minorStart + static_cast<long long>(floorDiv(
                                             Wide{2} * t * minorDelta + steps, Wide{2} * steps));
    const long long major = start + dir * t;
    const long long px = xMajor ? major : minor;
    const long long py = xMajor ? minor : major;
    if (py >= 0 && py < height_ && px >= 0 && px < width_)
      setPixel(static_cast<int>(px), static_cast<int>(py), pen_);
  }
}

void Picture::rectangle(int x1, int y1, int x2, int y2) {
  if (x2 < x1) std::swap(x1, x2);
  if (y2 < y1) std::swap(y1, y2);
  if (x1 == x2 || y1 == y2) return;
  // The outline runs along the first and the last column and row that are drawn.
  const long long right = static_cast<long long>(x2) - 1;
  const long long bottom = static_cast<long long>(y2) - 1;
  const long long xFrom = std::max<long long>(x1, 0);
  const long long xTo = std::min<long long>(right, width_ - 1);
  const long long yFrom = std::max<long long>(y1, 0);
  const long long yTo = std::min<long long>(bottom, height_ - 1);
  for (long long py = yFrom; py <= yTo; ++py) {
    const bool edgeRow = py == y1 || py == bottom;
    for (long long px = xFrom; px <= xTo; ++px) {
      const bool edge = edgeRow || px == x1 || px == right;
      pixels_[static_cast<std::size_t>(py) * static_cast<std::size_t>(width_) +
              static_cast<std::size_t>(px)] = edge ? pen_ : brush_;
    }
  }
}

void Picture::textOut(int x, int y, std::string_view text) {
  if (text.empty()) return;
  const long long boxRight =
      static_cast<long long>(x) + kCharAdvance * static_cast<long long>(text.size());
  for (long long py = y; py < static_cast<long long>(y) + kTextBoxHeight; ++py) {
    if (py < 0 || py >= height_) continue;
    for (long long px = std::max<long long>(x, 0); px <= std::min<long long>(boxRight, width_ - 1);
         ++px)
      setPixel(static_cast<int>(px), static_cast<int>(py), brush_);
  }
  long long left = static_cast<long long>(x) + 1;
  for (char c : text) {
    if (left >= width_) break;
    const Glyph& glyph = glyphFor(c);
    for (int row = 0; row < kGlyphHeight; ++row)
      for (int col = 0; col < kGlyphWidth; ++col)
        if (glyph[static_cast<std::size_t>(row)] & (0x10u >> col)) {
          const long long px = left + col;
          const long long py = static_cast<long long>(y) + 1 + row;
          if (px >= 0 && px < width_ && py >= 0 && py < height_)
            setPixel(static_cast<int>(px), static_cast<int>(py), kBlack);
        }
    left += kCharAdvance;
  }
}

void Picture::fill(std::uint32_t color) {
  std::fill(pixels_.begin(), pixels_.end(), color & 0xFFFFFFu);
}

std::string Picture::bmpBytes() const {
  const std::size_t rowBytes = bmpRowBytes(width_, 24);
  const std::size_t imageBytes = rowBytes * static_cast<std::size_t>(height_);
  constexpr std::uint32_t kPixelsPerMetre = 3780;  // 96 dots per inch

  std::string s;
  s.reserve(kColourBmpPixelOffset + imageBytes);
  appendBmpHeader(s, {.width = width_,
                      .height = height_,
                      .bitsPerPixel = 24,
                      .pixelBytes = static_cast<std::uint32_t>(imageBytes),
                      .xPixelsPerMetre = kPixelsPerMetre,
                      .yPixelsPerMetre = kPixelsPerMetre});
  for (int y = height_ - 1; y >= 0; --y) {
    const std::size_t rowStart = s.size();
    for (int x = 0; x < width_; ++x) {
      const std::uint32_t c = pixel(x, y);
      s.push_back(static_cast<char>((c >> 16) & 0xFF));  // blue
      s.push_back(static_cast<char>((c >> 8) & 0xFF));   // green
      s.push_back(static_cast<char>(c & 0xFF));          // red
    }
    s.append(rowBytes - (s.size() - rowStart), '\0');
  }
  return s;
}

void Picture::saveBmp(const std::string& path) const {
  OutFile out(path);
  out.text() = bmpBytes();
  out.close();
}

}  // namespace pelk
