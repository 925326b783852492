#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pelk {

// The image view's picture: width x height pixels, colours 0x00BBGGRR (low byte red), white when
// created. The drawing operations are the small set the view's users need; anything drawn
// outside the picture is clipped.
class Picture {
 public:
  static constexpr int kViewWidth = 385;
  static constexpr int kViewHeight = 329;

  explicit Picture(int width = kViewWidth, int height = kViewHeight);

  int width() const { return width_; }
  int height() const { return height_; }

  // A colour above 0xFFFFFF is drawn with its low 24 bits.
  void setPixel(int x, int y, std::uint32_t color);
  std::uint32_t pixel(int x, int y) const;  // 0 outside the picture

  void setPenColor(std::uint32_t color) { pen_ = color & 0xFFFFFFu; }
  void setBrushColor(std::uint32_t color) { brush_ = color & 0xFFFFFFu; }
  std::uint32_t penColor() const { return pen_; }
  std::uint32_t brushColor() const { return brush_; }

  void moveTo(int x, int y);
  // A line in the pen colour from the pen position to (x, y), the end point excluded; the pen
  // then stands at (x, y).
  void lineTo(int x, int y);
  // Outline in the pen colour, inside filled with the brush colour; the right and bottom edges
  // (x2 and y2) are excluded.
  void rectangle(int x1, int y1, int x2, int y2);
  // Text in black over a box in the brush colour, top-left corner at (x, y), in a small built-in
  // bitmap font (letters, digits and common signs).
  void textOut(int x, int y, std::string_view text);

  void fill(std::uint32_t color);
  // Writes the picture as an uncompressed 24-bit bitmap (bottom-up rows padded to 4 bytes).
  void saveBmp(const std::string& path) const;
  // The bytes saveBmp writes.
  std::string bmpBytes() const;

  // Row-major, top row first.
  const std::vector<std::uint32_t>& pixels() const { return pixels_; }

 private:
  int width_;
  int height_;
  std::vector<std::uint32_t> pixels_;
  std::uint32_t pen_ = 0;
  std::uint32_t brush_ = 0xFFFFFFu;
  int penX_ = 0;
  int penY_ = 0;
};

}  // namespace pelk
