#include <gtest/gtest.h>

#include "report/png_encode.h"
#include "report/raster.h"
#include "report/report_pictures.h"
#include "tests/report/png_decode.h"
#include "tests/support/files.h"

namespace pelk {
namespace {

std::string rgbOf(const Raster& r, int x, int y) {
  const std::uint8_t* p = r.at(x, y);
  return std::to_string(p[0]) + "," + std::to_string(p[1]) + "," + std::to_string(p[2]);
}

TEST(ReportPictures, GreyAndColourPicturesSurviveTheEncoderAndTheDataUri) {
  Raster grey(7, 3), colour(5, 4);
  for (std::size_t i = 0; i < grey.rgb.size(); ++i)
    grey.rgb[i] = static_cast<std::uint8_t>(i / 3 * 11);
  for (std::size_t i = 0; i < colour.rgb.size(); ++i)
    colour.rgb[i] = static_cast<std::uint8_t>(i * 13);
  for (const Raster* r : {&grey, &colour}) {
    std::string uri;
    appendPngDataUri(uri, encodePng(*r));
    const auto decoded = test::decodePng(test::inlinePngs(uri + "\"").at(0));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->width, r->width);
    EXPECT_EQ(decoded->rgb, r->rgb);
  }
}

// Stored rows run bottom-up unless the height is negative; a byte goes through the palette.
TEST(ReportPictures, BitmapsDecodeTopRowFirstThroughTheirPalette) {
  // 8-bit, 2 x 2, bottom row (stored first) 10 20, top row 30 40; palette inverts grey.
  std::string bmp = test::bmpBytes(2, 2, std::string("\x0a\x14\x00\x00\x1e\x28\x00\x00", 8));
  for (int i = 0; i < 256; ++i)
    for (int k = 0; k < 3; ++k) bmp[54 + 4 * i + k] = static_cast<char>(255 - i);
  const DecodedBitmap eight = decodeBitmap(bmp, "a.bmp");
  ASSERT_TRUE(eight.ok()) << eight.error;
  EXPECT_EQ(rgbOf(eight.picture, 0, 0), "225,225,225");
  EXPECT_EQ(rgbOf(eight.picture, 1, 1), "235,235,235");

  const struct {
    const char* what;
    std::string bytes;
    const char* reason;
  } bad[] = {{"not a bitmap", "PNG....", "not a bitmap"},
             {"truncated pixels", test::bmpBytes(512, 512, std::string(100, '\0')), "truncated"},
             {"absurd size", test::bmpBytes(70000, 2, std::string()), "unusable size"}};
  for (const auto& c : bad) {
    const DecodedBitmap d = decodeBitmap(c.bytes, "x.bmp");
    EXPECT_NE(d.error.find(c.reason), std::string::npos) << c.what << ": " << d.error;
  }
}

TEST(ReportPictures, MchsMarksLandWhereTheViewDrawsThemScaledToTheScan) {
  Raster scan(770, 658);  // twice the view in each direction
  const Raster marked = withMchsMarks(scan, {ReportedMchsBlock{1, 100, 50, 9.0, 0, 0}});
  EXPECT_EQ(rgbOf(marked, 200, 100), "191,0,0");
  EXPECT_EQ(rgbOf(marked, 207, 106), "191,0,0");  // the block is a hundredth of the scan
  EXPECT_EQ(rgbOf(marked, 199, 100), "0,0,0");
  EXPECT_EQ(rgbOf(marked, 208, 107), "0,0,0");
  // A block outside the picture is clipped, not written past the buffer.
  EXPECT_NO_THROW(withMchsMarks(
      scan, {ReportedMchsBlock{1, 384, 328, 1, 0, 0}, ReportedMchsBlock{2, -9, -9, 1, 0, 0}}));
}

}  // namespace
}  // namespace pelk
