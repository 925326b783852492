#include "common/picture.h"

#include <gtest/gtest.h>

#include "common/bitmap_font.h"
#include "common/io_error.h"
#include "tests/support/files.h"
#include "tests/support/scratch_dir.h"

namespace pelk {
namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kRed = 0x0000FF;
constexpr std::uint32_t kGreen = 0x00FF00;

int countColour(const Picture& p, std::uint32_t colour) {
  int n = 0;
  for (std::uint32_t c : p.pixels()) n += c == colour;
  return n;
}

TEST(Picture, StartsWhiteAtTheViewSize) {
  Picture p;
  EXPECT_EQ(p.width(), 385);
  EXPECT_EQ(p.height(), 329);
  EXPECT_EQ(countColour(p, kWhite), 385 * 329);
}

TEST(Picture, SetPixelClipsAndKeepsTheLow24Bits) {
  Picture p(4, 3);
  p.setPixel(-1, 0, 0);
  p.setPixel(4, 0, 0);
  p.setPixel(0, 3, 0);
  p.setPixel(0, -1, 0);
  EXPECT_EQ(countColour(p, kWhite), 12);
  p.setPixel(3, 2, 0x1234567u);
  EXPECT_EQ(p.pixel(3, 2), 0x234567u);
  EXPECT_EQ(p.pixel(4, 2), 0u);
}

TEST(Picture, LineToLeavesOutItsEndPointAndMovesThePen) {
  Picture p(10, 10);
  p.setPenColor(kRed);
  p.moveTo(2, 5);
  p.lineTo(6, 5);
  EXPECT_EQ(countColour(p, kRed), 4);
  EXPECT_EQ(p.pixel(2, 5), kRed);
  EXPECT_EQ(p.pixel(5, 5), kRed);
  EXPECT_EQ(p.pixel(6, 5), kWhite);
  p.lineTo(6, 1);  // continues from (6, 5) upward
  EXPECT_EQ(p.pixel(6, 5), kRed);
  EXPECT_EQ(p.pixel(6, 2), kRed);
  EXPECT_EQ(p.pixel(6, 1), kWhite);
  p.setPenColor(kGreen);
  p.moveTo(0, 0);
  p.lineTo(4, 4);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(p.pixel(i, i), kGreen) << i;
  EXPECT_EQ(countColour(p, kGreen), 4);
}

TEST(Picture, LinesFromFarOutsideDrawOnlyTheirVisiblePart) {
  Picture p(385, 329);
  p.moveTo(-2'000'000'000, 7);
  p.lineTo(2'000'000'000, 7);
  EXPECT_EQ(countColour(p, 0), 385);
  p.moveTo(2'147'483'647, -2'147'483'647 - 1);
  p.lineTo(-2'147'483'647 - 1, 2'147'483'647);  // a diagonal through the picture's corner region
  p.moveTo(100, 400);
  p.lineTo(100, 329);  // entirely below the picture
  EXPECT_EQ(p.pixel(100, 328), kWhite);
}

TEST(Picture, RectangleOutlinesWithThePenFillsWithTheBrushAndExcludesRightAndBottom) {
  Picture p(10, 10);
  p.setPenColor(kRed);
  p.setBrushColor(kGreen);
  p.rectangle(1, 2, 6, 7);  // covers columns 1..5 and rows 2..6
  EXPECT_EQ(countColour(p, kRed) + countColour(p, kGreen), 25);
  EXPECT_EQ(countColour(p, kGreen), 9);
  EXPECT_EQ(p.pixel(1, 2), kRed);
  EXPECT_EQ(p.pixel(5, 6), kRed);
  EXPECT_EQ(p.pixel(3, 4), kGreen);
  EXPECT_EQ(p.pixel(6, 4), kWhite);
  EXPECT_EQ(p.pixel(3, 7), kWhite);

  Picture q(10, 10);
  q.rectangle(6, 7, 1, 2);                      // corners given the other way round
  EXPECT_EQ(countColour(q, kWhite), 100 - 16);  // black outline, white fill
  q.rectangle(3, 3, 3, 8);                      // empty
  q.rectangle(-5, -5, 100, 100);                // covers everything, outline outside
  EXPECT_EQ(countColour(q, kWhite), 100);
}

// Checks that `text` stands at (x, y): box one pixel wider than the glyphs, black glyph pixels.
void expectText(const Picture& p, int x, int y, const std::string& text, std::uint32_t box) {
  for (std::size_t k = 0; k < text.size(); ++k) {
    const Glyph& g = glyphFor(text[k]);
    const int left = x + 1 + kCharAdvance * static_cast<int>(k);
    for (int row = 0; row < kGlyphHeight; ++row)
      for (int col = 0; col < kGlyphWidth; ++col) {
        const bool ink = g[static_cast<std::size_t>(row)] & (0x10 >> col);
        EXPECT_EQ(p.pixel(left + col, y + 1 + row), ink ? 0u : box)
            << text[k] << " row " << row << " col " << col;
      }
  }
  const int right = x + kCharAdvance * static_cast<int>(text.size());
  for (int row = y; row < y + kTextBoxHeight; ++row) {
    EXPECT_EQ(p.pixel(x, row), box);
    EXPECT_EQ(p.pixel(right, row), box);
  }
}

TEST(Picture, TextOutDrawsBlackGlyphsOverABoxInTheBrushColour) {
  Picture p(40, 20);
  p.fill(kRed);
  p.setBrushColor(kGreen);
  p.textOut(2, 3, "A9");
  expectText(p, 2, 3, "A9", kGreen);
  EXPECT_EQ(p.pixel(2 + 2 * kCharAdvance + 1, 3), kRed);
  EXPECT_EQ(p.pixel(2, 3 + kTextBoxHeight), kRed);
  EXPECT_EQ(p.pixel(1, 3), kRed);
}

TEST(Picture, FontCoversLettersDigitsAndFallsBackToAQuestionMark) {
  const Glyph& question = glyphFor('?');
  for (char c = 'A'; c <= 'Z'; ++c) {
    EXPECT_NE(glyphFor(c), question) << c;
    EXPECT_EQ(glyphFor(c), glyphFor(static_cast<char>(c - 'A' + 'a'))) << c;
  }
  for (char c = '0'; c <= '9'; ++c) EXPECT_NE(glyphFor(c), question) << c;
  EXPECT_NE(glyphFor('O'), glyphFor('0'));
  EXPECT_EQ(glyphFor('\x01'), question);
  EXPECT_EQ(glyphFor('~'), question);
}

TEST(Picture, TextOutNearTheEdgesIsClipped) {
  Picture p(10, 10);
  p.textOut(-3, -4, "WXYZ");
  p.textOut(8, 8, "M");
  p.textOut(2'147'483'640, 0, "AB");
  p.textOut(0, 2'147'483'640, "AB");
  EXPECT_EQ(p.pixel(0, 0), 0u);      // fourth row of "W", third column: ink
  EXPECT_EQ(p.pixel(1, 0), kWhite);  // fourth column: none
  EXPECT_EQ(p.pixel(0, 5), kWhite);  // below the box
  EXPECT_EQ(p.pixel(9, 9), 0u);      // top-left ink of "M"
  EXPECT_EQ(p.pixel(8, 8), kWhite);  // its box
}

class PictureFile : public test::ScratchDirTest {};

std::uint32_t le32(const std::string& s, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i)
    v = (v << 8) | static_cast<unsigned char>(s[at + static_cast<std::size_t>(i)]);
  return v;
}

TEST_F(PictureFile, SaveBmpWritesBottomUpBgrRowsPaddedToFourBytes) {
  Picture p;
  p.setPixel(0, 0, 0x00332211);      // top-left
  p.setPixel(384, 328, 0x00CCBBAA);  // bottom-right
  p.saveBmp("view.bmp");
  const std::string s = test::readFile("view.bmp");
  const std::size_t row = 385 * 3 + 1;
  ASSERT_EQ(s.size(), 54 + row * 329);
  EXPECT_EQ(s.substr(0, 2), "BM");
  EXPECT_EQ(le32(s, 2), s.size());
  EXPECT_EQ(le32(s, 10), 54u);
  EXPECT_EQ(le32(s, 14), 40u);
  EXPECT_EQ(le32(s, 18), 385u);
  EXPECT_EQ(le32(s, 22), 329u);
  EXPECT_EQ(s[28], 24);
  EXPECT_EQ(le32(s, 30), 0u);
  EXPECT_EQ(le32(s, 34), row * 329);
  // First stored row is the bottom one; its last pixel is (384, 328); then one pad byte.
  EXPECT_EQ(s.substr(54 + 384 * 3, 4), std::string("\xCC\xBB\xAA\0", 4));
  EXPECT_EQ(s.substr(54 + 328 * row, 3), "\x33\x22\x11");
  EXPECT_EQ(s.substr(54 + 328 * row + 3, 3), "\xFF\xFF\xFF");
}

TEST_F(PictureFile, SaveBmpToAnUncreatableFileIsAnIoError) {
  Picture p(2, 2);
  EXPECT_THROW(p.saveBmp("no-such-folder/view.bmp"), IoError);
}

}  // namespace
}  // namespace pelk
