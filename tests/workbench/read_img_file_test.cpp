#include "workbench/read_img_file.h"

#include <functional>

#include <gtest/gtest.h>

#include "common/bitmap_font.h"
#include "common/io_error.h"
#include "tests/support/files.h"
#include "tests/support/scratch_dir.h"

namespace pelk {
namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::size_t kFullSize = 1070 + 512 * 512;

// The bytes the view reads, in reading order: 1070 skipped bytes, then `count` scan bytes, the
// k-th of which (k from 0) belongs to n = 511 - k / 512, i = k % 512.
std::string scanFile(std::size_t count, const std::function<int(int n, int i)>& byte) {
  std::string s(1070, '\0');
  s.reserve(1070 + count);
  for (std::size_t k = 0; k < count; ++k) {
    const int n = 511 - static_cast<int>(k / 512);
    const int i = static_cast<int>(k % 512);
    s.push_back(static_cast<char>(byte(n, i)));
  }
  return s;
}

class ReadImgFile : public test::ScratchDirTest {};

TEST_F(ReadImgFile, ColoursAboveTwentyAreGreenOfTheirLevelTheRestWhite) {
  // Rows n = 300 and 299 both land on view row 192, and scan columns 0 and 1 on view column 0:
  // the last byte drawn wins.
  test::writeFile("scan.bmp", scanFile(kFullSize - 1070, [](int n, int i) {
                    if (n == 299 && i == 0) return 200;
                    if (n == 299 && i == 1) return 20;
                    if (n == 299 && i == 2) return 21;
                    return 255;
                  }));
  Picture view;
  view.fill(0);
  readImgFile("scan.bmp", view);
  const int y = 192;  // Trunc(299 * 329 / 512)
  EXPECT_EQ(view.pixel(0, y), kWhite);
  EXPECT_EQ(view.pixel(1, y), 0x001500u);
  EXPECT_EQ(view.pixel(2, y), 0x00FF00u);
}

TEST_F(ReadImgFile, TheLastScanColumnAndTheFirstRowReadLandOnTheLastViewColumnAndRow) {
  // A file that stops after the first row read draws only that row, with no grid over it.
  test::writeFile("short.bmp",
                  scanFile(512, [](int, int i) { return i == 511 ? 200 : (i == 510 ? 100 : 0); }));
  Picture view;
  view.fill(0x123456);
  EXPECT_THROW(readImgFile("short.bmp", view), IoError);
  EXPECT_EQ(view.pixel(384, 328), 200u * 256);
  EXPECT_EQ(view.pixel(383, 328), 100u * 256);
  EXPECT_EQ(view.pixel(382, 328), kWhite);
  EXPECT_EQ(view.pixel(0, 328), kWhite);
  EXPECT_EQ(view.pixel(384, 327), 0x123456u);
  EXPECT_EQ(view.pixel(38, 100), 0x123456u);  // where a grid line would be
  EXPECT_EQ(view.pixel(7, 2), 0x123456u);     // where the "A" would be
}

TEST_F(ReadImgFile, AShortFileKeepsEveryByteDrawnBeforeItsEnd) {
  // One byte into the second row read (n = 510): its first pixel is drawn, the rest is not.
  test::writeFile("short.bmp", scanFile(513, [](int, int) { return 100; }));
  Picture view;
  view.fill(0);
  try {
    readImgFile("short.bmp", view);
    FAIL() << "no error";
  } catch (const IoError& e) {
    EXPECT_EQ(std::string(e.what()), "Read beyond end of file: short.bmp");
  }
  EXPECT_EQ(view.pixel(200, 328), 0x006400u);
  EXPECT_EQ(view.pixel(0, 327), 0x006400u);
  EXPECT_EQ(view.pixel(1, 327), 0u);
}

TEST_F(ReadImgFile, MissingOrHeaderOnlyFilesChangeNothing) {
  Picture view;
  view.fill(0x0000FF);
  EXPECT_THROW(readImgFile("absent.bmp", view), IoError);
  test::writeFile("tiny.bmp", std::string(1070, '\x7f'));
  EXPECT_THROW(readImgFile("tiny.bmp", view), IoError);
  for (std::uint32_t c : view.pixels()) ASSERT_EQ(c, 0x0000FFu);
}

TEST_F(ReadImgFile, DrawingStartsEightBytesBeforeThePixelDataOfANominalScan) {
  // The first pixels come from the last two palette entries (grey 254 and 255, then a 0 byte),
  // so a nominal 512 x 512 bitmap has 8 bytes to spare at its end.
  const std::string bmp = test::bmpBytes(512, 512, [](int, int) { return 0; });
  test::writeFile("nominal.bmp", bmp.substr(0, kFullSize));
  Picture view;
  EXPECT_NO_THROW(readImgFile("nominal.bmp", view));

  // Cut after the first row read, the row stays visible without the grid line over it.
  test::writeFile("row.bmp", bmp.substr(0, 1070 + 512));
  EXPECT_THROW(readImgFile("row.bmp", view), IoError);
  EXPECT_EQ(view.pixel(1, 328), 254u * 256);  // i = 2: a byte of the palette entry for 254
  EXPECT_EQ(view.pixel(4, 328), 255u * 256);  // i = 6: a byte of the entry for 255
  EXPECT_EQ(view.pixel(5, 328), kWhite);      // i = 7: that entry's fourth byte, 0
}

TEST_F(ReadImgFile, DrawsTheGridAndLabelsOverTheScan) {
  test::writeFile("scan.bmp", scanFile(kFullSize - 1070, [](int, int) { return 100; }));
  Picture view;
  readImgFile("scan.bmp", view);
  const std::uint32_t green = 100 * 256;
  const int columns[] = {38, 77, 115, 154, 192, 231, 269, 308, 346};
  // 10 x 32.9 truncates to 328 in extended precision: the last line is the picture's bottom row.
  const int rows[] = {32, 65, 98, 131, 164, 197, 230, 263, 296, 328};
  for (int x : columns) {
    EXPECT_EQ(view.pixel(x, 120), 0u) << x;
    EXPECT_EQ(view.pixel(x + 1, 120), green) << x;
    EXPECT_EQ(view.pixel(x, 328), 0u) << x;
  }
  for (int y : rows) {
    EXPECT_EQ(view.pixel(200, y), 0u) << y;
    EXPECT_EQ(view.pixel(384, y), 0u) << y;
    EXPECT_EQ(view.pixel(200, y - 1), green) << y;
  }
  EXPECT_EQ(view.pixel(384, 120), green);  // the k = 10 vertical line falls outside
  EXPECT_EQ(view.pixel(0, 120), green);

  const int letterX[] = {5, 43, 82, 120, 159, 197, 236, 274, 313, 351};
  const int digitY[] = {5, 37, 70, 103, 136, 169, 202, 235, 268, 301};
  for (int k = 0; k < 10; ++k) {
    const Glyph& letter = glyphFor(static_cast<char>('A' + k));
    const Glyph& digit = glyphFor(static_cast<char>('0' + k));
    EXPECT_EQ(view.pixel(letterX[k], 0), kWhite) << k;  // the label box
    EXPECT_EQ(view.pixel(15, digitY[k]), kWhite) << k;
    for (int row = 0; row < kGlyphHeight; ++row)
      for (int col = 0; col < kGlyphWidth; ++col) {
        const bool letterInk = letter[static_cast<std::size_t>(row)] & (0x10 >> col);
        const bool digitInk = digit[static_cast<std::size_t>(row)] & (0x10 >> col);
        EXPECT_EQ(view.pixel(letterX[k] + 1 + col, 1 + row), letterInk ? 0u : kWhite) << k;
        EXPECT_EQ(view.pixel(16 + col, digitY[k] + 1 + row), digitInk ? 0u : kWhite) << k;
      }
  }
}

}  // namespace
}  // namespace pelk
