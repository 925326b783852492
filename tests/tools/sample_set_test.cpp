#include "tools/sample_set.h"

#include <gtest/gtest.h>

#include "tests/support/files.h"
#include "tests/support/scratch_dir.h"
#include "tools/synthetic_head.h"

namespace pelk {
namespace {

using SampleSet = test::ScratchDirTest;

int pixel(const std::string& bmp, int pictureX, int pictureY) {
  std::size_t stored = static_cast<std::size_t>(511 - pictureY) * 512 + pictureX;
  return static_cast<unsigned char>(bmp[1078 + stored]);
}

TEST_F(SampleSet, WritesFourNominalScansIntoANewFolder) {
  auto written = writeSampleSet("samples/run");
  ASSERT_EQ(written.size(), 4u);
  for (const auto& path : written) {
    std::string bytes = test::readFile(path);
    ASSERT_EQ(bytes.size(), 263222u) << path;
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    EXPECT_EQ(static_cast<unsigned char>(bytes[18]) + 256 * static_cast<unsigned char>(bytes[19]),
              512);
    EXPECT_EQ(static_cast<unsigned char>(bytes[22]) + 256 * static_cast<unsigned char>(bytes[23]),
              512);
    EXPECT_EQ(bytes[10], '\x36');  // pixel data at 1078 = 0x436
    EXPECT_EQ(bytes[11], '\x04');
  }
  EXPECT_TRUE(test::fileExists("samples/run/test101.bmp"));
}

TEST_F(SampleSet, SameSeedSameBytes) {
  writeSampleSet("a");
  writeSampleSet("b");
  for (const char* name : {kSampleStartup, kSampleStandard, kSampleReference, kSampleThird})
    EXPECT_EQ(test::readFile(std::string("a/") + name), test::readFile(std::string("b/") + name));
}

TEST_F(SampleSet, ScansDifferOnlyWhereTheLesionsGrow) {
  writeSampleSet(".");
  std::string standard = test::readFile(kSampleStandard);
  std::string reference = test::readFile(kSampleReference);
  std::string third = test::readFile(kSampleThird);
  EXPECT_EQ(standard.substr(0, 1078), reference.substr(0, 1078));
  int changedRef = 0;
  int changedThird = 0;
  for (int y = 0; y < 512; ++y) {
    for (int x = 0; x < 512; ++x) {
      int s = pixel(standard, x, y);
      int r = pixel(reference, x, y);
      int t = pixel(third, x, y);
      EXPECT_GE(r, s);
      EXPECT_GE(t, r);
      if (r != s) ++changedRef;
      if (t != s) ++changedThird;
      if (r > s + 50) {
        EXPECT_GT(t, s + 50) << "the larger lesion covers the smaller";
      }
    }
  }
  EXPECT_GT(changedRef, 80);
  EXPECT_GT(changedThird, 2 * changedRef);
  // Bright enough for the gate finder: the difference doubled passes 100 at the core.
  EXPECT_GT(2 * (pixel(reference, 318, 196) - pixel(standard, 318, 196)), 100);
}

TEST(SyntheticHead, AnatomyHasItsGreyLevels) {
  auto head = syntheticHead(40, std::nullopt);
  auto at = [&](int x, int y) { return static_cast<int>(head[y * 512 + x]); };
  EXPECT_LE(at(5, 5), 20);                // air
  EXPECT_GT(at(256, 262 - 222), 170);     // skull at the top
  EXPECT_NEAR(at(256, 400), 158, 15);     // white matter
  EXPECT_LT(at(256 - 19, 262 - 18), 60);  // a ventricle
}

}  // namespace
}  // namespace pelk
