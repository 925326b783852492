#include "progression/grey_scan.h"

#include <gtest/gtest.h>

#include "common/io_error.h"
#include "tests/support/files.h"

namespace pelk {
namespace {

using test::bmpBytes;

void put32(std::string& s, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

std::string messageOf(const std::string& bytes) {
  try {
    parseGreyScan(bytes, "scan.bmp");
  } catch (const IoError& e) {
    return e.what();
  }
  return "no error";
}

TEST(GreyScanLayout, StoredRowsAreBottomUpSoTheFirstStoredRowIsTheLastPictureRow) {
  const GreyScan s =
      parseGreyScan(bmpBytes(4, 2, [](int row, int col) { return row * 10 + col; }), "a");
  ASSERT_EQ(s.width, 4);
  ASSERT_EQ(s.height, 2);
  EXPECT_EQ(s.at(0, 1), 0);   // stored row 0
  EXPECT_EQ(s.at(3, 0), 13);  // stored row 1 is the top
}

TEST(GreyScanLayout, ANegativeHeightMeansTopDownRows) {
  std::string bytes = bmpBytes(4, 2, [](int row, int col) { return row * 10 + col; });
  put32(bytes, 22, static_cast<std::uint32_t>(-2));
  const GreyScan s = parseGreyScan(bytes, "a");
  EXPECT_EQ(s.height, 2);
  EXPECT_EQ(s.at(1, 0), 1);
  EXPECT_EQ(s.at(1, 1), 11);
}

TEST(GreyScanLayout, RowsArePaddedToFourBytesAndThePixelOffsetIsHonoured) {
  // Width 3: each stored row is 4 bytes; the pixel data starts after two extra bytes.
  std::string pixels = {1, 2, 3, 0, 4, 5, 6, 0};
  std::string bytes = bmpBytes(3, 2, pixels);
  bytes.insert(1078, "\x7f\x7f", 2);
  put32(bytes, 10, 1080);
  const GreyScan s = parseGreyScan(bytes, "a");
  EXPECT_EQ(s.at(0, 1), 1);
  EXPECT_EQ(s.at(2, 1), 3);
  EXPECT_EQ(s.at(0, 0), 4);
  EXPECT_EQ(s.at(2, 0), 6);
}

TEST(GreyScanSpacing, ResolutionFieldsGiveMillimetresPerPixel) {
  std::string bytes = bmpBytes(4, 4, std::string(16, '\0'));
  put32(bytes, 38, 1000);  // 1 mm
  put32(bytes, 42, 2000);  // 0.5 mm
  const GreyScan s = parseGreyScan(bytes, "a");
  ASSERT_TRUE(s.hasSpacing());
  EXPECT_DOUBLE_EQ(s.mmPerPixelX, 1.0);
  EXPECT_DOUBLE_EQ(s.mmPerPixelY, 0.5);
  EXPECT_DOUBLE_EQ(s.mm2PerPixel(), 0.5);
}

TEST(GreyScanSpacing, PaintProgramDefaultsAndHalfFilledFieldsCarryNoSpacing) {
  for (auto [x, y] : {std::pair{2835, 2835}, {3780, 3780}, {0, 0}, {1000, 0}, {-1000, -1000}}) {
    std::string bytes = bmpBytes(4, 4, std::string(16, '\0'));
    put32(bytes, 38, static_cast<std::uint32_t>(x));
    put32(bytes, 42, static_cast<std::uint32_t>(y));
    const GreyScan s = parseGreyScan(bytes, "a");
    EXPECT_FALSE(s.hasSpacing()) << x << " " << y;
    EXPECT_EQ(s.mmPerPixelX, 0.0);
  }
}

TEST(GreyScanRefusal, EveryUnreadableFileEndsWithAClearError) {
  const std::string good = bmpBytes(8, 8, std::string(64, '\x10'));
  std::string notBitmap = good;
  notBitmap[0] = 'X';
  std::string colour = good;
  colour[28] = 24;
  std::string compressed = good;
  put32(compressed, 30, 1);
  std::string zeroWidth = good;
  put32(zeroWidth, 18, 0);
  std::string huge = good;
  put32(huge, 18, 100000);
  std::string mostNegative = good;
  put32(mostNegative, 22, 0x80000000u);
  std::string wildOffset = good;
  put32(wildOffset, 10, 0xFFFFFFF0u);

  EXPECT_EQ(messageOf(notBitmap), "Not a bitmap file: scan.bmp");
  EXPECT_EQ(messageOf(good.substr(0, 30)), "Not a bitmap file: scan.bmp");
  EXPECT_EQ(messageOf(colour), "Not an 8-bit grey bitmap: scan.bmp");
  EXPECT_EQ(messageOf(compressed), "Compressed bitmaps are not supported: scan.bmp");
  EXPECT_NE(messageOf(zeroWidth).find("Unusable bitmap size 0 x 8"), std::string::npos);
  EXPECT_NE(messageOf(huge).find("Unusable bitmap size"), std::string::npos);
  EXPECT_NE(messageOf(mostNegative).find("Unusable bitmap size"), std::string::npos);
  EXPECT_NE(messageOf(good.substr(0, good.size() - 1)).find("Truncated bitmap"), std::string::npos);
  EXPECT_NE(messageOf(wildOffset).find("Truncated bitmap"), std::string::npos);
}

TEST(GreyScanRefusal, AMissingFileIsNamed) {
  EXPECT_THROW(
      {
        try {
          readGreyScan("no-such-scan.bmp");
        } catch (const IoError& e) {
          EXPECT_STREQ(e.what(), "File not found: no-such-scan.bmp");
          throw;
        }
      },
      IoError);
}

}  // namespace
}  // namespace pelk
