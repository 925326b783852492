#include <cstring>

#include <gtest/gtest.h>

#include "importers/nominal_bmp.h"
#include "importers/nominal_resample.h"
#include "importers/scan_import.h"
#include "tests/importers/scan_files.h"
#include "tests/support/files.h"
#include "tests/support/scratch_dir.h"

namespace pelk::test {
namespace {

std::uint32_t u32(const std::string& s, std::size_t at) {
  std::uint32_t v = 0;
  for (std::size_t i = 0; i < 4; ++i)
    v |= std::uint32_t{static_cast<unsigned char>(s[at + i])} << (8 * i);
  return v;
}
std::uint16_t u16(const std::string& s, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(s[at]) |
                                    static_cast<unsigned char>(s[at + 1]) << 8);
}

GreySlice uniformSlice(int width, int height, double across, double down, float grey) {
  return {
      width, height, across, down,
      std::vector<float>(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), grey)};
}

int pixel(const NominalPicture& p, int row, int col) {
  return p.pixels[static_cast<std::size_t>(row) * 512 + static_cast<std::size_t>(col)];
}

TEST(NominalBmp, HeaderPaletteAndSizeAreTheNominalLayout) {
  NominalPicture picture{std::vector<std::uint8_t>(512 * 512, 0), 0.5};
  const std::string bytes = nominalBmpBytes(picture);
  ASSERT_EQ(bytes.size(), 263222u);
  EXPECT_EQ(bytes.substr(0, 2), "BM");
  EXPECT_EQ(u32(bytes, 2), 263222u);
  EXPECT_EQ(u32(bytes, 6), 0u);
  EXPECT_EQ(u32(bytes, 10), 1078u);
  EXPECT_EQ(u32(bytes, 14), 40u);
  EXPECT_EQ(u32(bytes, 18), 512u);
  EXPECT_EQ(u32(bytes, 22), 512u);  // positive: rows bottom-up
  EXPECT_EQ(u16(bytes, 26), 1u);
  EXPECT_EQ(u16(bytes, 28), 8u);
  EXPECT_EQ(u32(bytes, 30), 0u);
  EXPECT_EQ(u32(bytes, 34), 262144u);
  EXPECT_EQ(u32(bytes, 38), 2000u);  // 0.5 mm pixels: 2000 per metre
  EXPECT_EQ(u32(bytes, 42), 2000u);
  EXPECT_EQ(u32(bytes, 46), 256u);
  for (std::uint32_t i = 0; i < 256; ++i) ASSERT_EQ(u32(bytes, 54 + 4 * i), i * 0x010101u) << i;
}

TEST(NominalBmp, TheTopRowIsStoredLast) {
  NominalPicture picture{std::vector<std::uint8_t>(512 * 512, 0), 1.0};
  picture.pixels[5] = 77;              // top row, column 5
  picture.pixels[511 * 512 + 6] = 88;  // bottom row, column 6
  const std::string bytes = nominalBmpBytes(picture);
  EXPECT_EQ(static_cast<unsigned char>(bytes[1078 + 511 * 512 + 5]), 77);
  EXPECT_EQ(static_cast<unsigned char>(bytes[1078 + 6]), 88);
}

TEST(FitToNominal, AWideSliceIsCentredWithBlackBandsAboveAndBelow) {
  // 8 x 4 pixels of 1 mm: 512 x 256 on the picture, rows 128 to 383.
  const NominalPicture p = fitToNominal(uniformSlice(8, 4, 1, 1, 200));
  EXPECT_EQ(pixel(p, 127, 256), 0);
  EXPECT_EQ(pixel(p, 128, 256), 200);
  EXPECT_EQ(pixel(p, 383, 0), 200);
  EXPECT_EQ(pixel(p, 384, 511), 0);
  EXPECT_DOUBLE_EQ(p.spacingMm, 8.0 / 512);
}

TEST(FitToNominal, PixelSpacingDecidesTheAspectRatioNotThePixelCount) {
  // 4 x 4 pixels, but 0.5 mm across and 1 mm down: twice as tall as wide.
  const NominalPicture p = fitToNominal(uniformSlice(4, 4, 0.5, 1, 90));
  EXPECT_EQ(pixel(p, 256, 127), 0);
  EXPECT_EQ(pixel(p, 256, 128), 90);
  EXPECT_EQ(pixel(p, 0, 383), 90);
  EXPECT_EQ(pixel(p, 511, 384), 0);
}

TEST(FitToNominal, InterpolatesBilinearlyBetweenPixelCentres) {
  // Two columns, 0 and 255: halfway between their centres (picture column 256) is 127.5.
  GreySlice slice{2, 1, 1, 2, {0, 255}};
  const NominalPicture p = fitToNominal(slice);
  EXPECT_EQ(pixel(p, 256, 128), 0);    // the left centre
  EXPECT_EQ(pixel(p, 256, 383), 255);  // the right centre
  EXPECT_NEAR(pixel(p, 256, 256), 128, 1);
  EXPECT_EQ(pixel(p, 256, 0), 0);
  EXPECT_EQ(pixel(p, 256, 511), 255);  // edges repeat the outer pixel, not the padding
}

TEST(FitToNominal, ASinglePixelFillsThePicture) {
  const NominalPicture p = fitToNominal(uniformSlice(1, 1, 1, 1, 42));
  EXPECT_EQ(pixel(p, 0, 0), 42);
  EXPECT_EQ(pixel(p, 511, 511), 42);
}

class ImportedFile : public ScratchDirTest {};

TEST_F(ImportedFile, IsExactlyTheNominalBitmapWithThePixelSizeInItsResolution) {
  NiftiSpec spec;
  spec.size = {200, 100, 1, 1};
  spec.spacing = {0.5, 0.5, 1};  // 100 mm wide: 512 / 100 mm = 5120 pixels per metre
  spec.values.assign(20000, 1);
  writeNifti("scan.nii", spec);
  importScan({"scan.nii", "out.bmp", std::nullopt, std::nullopt});
  const std::string bytes = readFile("out.bmp");
  ASSERT_EQ(bytes.size(), 263222u);
  EXPECT_EQ(bytes.substr(0, 1078),
            nominalBmpBytes({std::vector<std::uint8_t>(512 * 512), 100.0 / 512}).substr(0, 1078));
  EXPECT_EQ(u32(bytes, 38), 5120u);
}

}  // namespace
}  // namespace pelk::test
