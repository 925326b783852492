#include <gtest/gtest.h>

#include "common/io_error.h"
#include "importers/scan_import.h"
#include "tests/importers/scan_files.h"
#include "tests/support/files.h"
#include "tests/support/scratch_dir.h"

namespace pelk::test {
namespace {

class DicomImport : public ScratchDirTest {
 protected:
  // A frame of one value everywhere, so interpolation cannot blur what the mapping did.
  static DicomSpec uniform(std::uint32_t value, int bits = 16) {
    DicomSpec spec;
    spec.bitsAllocated = spec.bitsStored = bits;
    spec.pixels.assign(16, value);
    return spec;
  }
  ImportSummary import(std::optional<IntensityWindow> window = std::nullopt,
                       std::optional<std::int64_t> slice = std::nullopt) {
    return importScan({"scan.dcm", "out.bmp", slice, window});
  }
  static int centre() { return readNominal("out.bmp").at(256, 256); }
};

TEST_F(DicomImport, UsesTheFilesOwnWindowCentreAndWidth) {
  DicomSpec spec = uniform(1500);
  spec.windowCentre = 1500.5;  // with width 1001: 1000 is black, 2000 white
  spec.windowWidth = 1001;
  writeDicom("scan.dcm", spec);
  const ImportSummary summary = import();
  EXPECT_EQ(summary.windowSource, WindowSource::File);
  EXPECT_DOUBLE_EQ(summary.window.low, 1000.0);
  EXPECT_DOUBLE_EQ(summary.window.high, 2000.0);
  EXPECT_EQ(centre(), 128);  // 127.5 rounded
}

TEST_F(DicomImport, AnExplicitWindowOverridesTheFilesOwn) {
  DicomSpec spec = uniform(100);
  spec.windowCentre = 1000;
  spec.windowWidth = 10;
  writeDicom("scan.dcm", spec);
  EXPECT_EQ(import(IntensityWindow{0, 200}).windowSource, WindowSource::Explicit);
  EXPECT_EQ(centre(), 128);
}

TEST_F(DicomImport, WithoutAWindowTheRobustOneSpreadsTheTissue) {
  DicomSpec spec;
  spec.bitsAllocated = spec.bitsStored = 8;
  spec.pixels = {0, 0, 0, 0, 0, 10, 20, 0, 0, 30, 40, 0, 0, 0, 0, 0};
  writeDicom("scan.dcm", spec);
  const ImportSummary summary = import();
  EXPECT_EQ(summary.windowSource, WindowSource::Robust);
  EXPECT_NEAR(summary.window.low, 10.3, 1e-9);  // zeros are left out of the percentiles
  EXPECT_NEAR(summary.window.high, 39.85, 1e-9);
}

TEST_F(DicomImport, AppliesSignedValuesAndRescaleBeforeTheWindow) {
  DicomSpec spec = uniform(static_cast<std::uint16_t>(-100));
  spec.isSigned = true;
  spec.slope = 2;
  spec.intercept = 1000;  // -100 * 2 + 1000 = 800
  writeDicom("scan.dcm", spec);
  import(IntensityWindow{0, 1600});
  EXPECT_EQ(centre(), 128);
}

TEST_F(DicomImport, IgnoresBitsAboveTheStoredOnesAndSignExtendsFromTheStoredTop) {
  DicomSpec spec = uniform(0xF800);  // 12 bits stored: 0x800 is -2048 when signed
  spec.bitsStored = 12;
  spec.isSigned = true;
  writeDicom("scan.dcm", spec);
  import(IntensityWindow{-2048, -2047});
  EXPECT_EQ(centre(), 0);
  spec.pixels.assign(16, 0xF7FF);  // 0x7FF = 2047
  writeDicom("scan.dcm", spec);
  import(IntensityWindow{2046, 2047});
  EXPECT_EQ(centre(), 255);
}

TEST_F(DicomImport, ReadsEightBitImplicitAndSixteenBitBigEndianFiles) {
  DicomSpec spec = uniform(100, 8);
  spec.syntax = DicomSpec::Syntax::ImplicitLittle;
  writeDicom("scan.dcm", spec);
  import(IntensityWindow{0, 200});
  EXPECT_EQ(centre(), 128);

  spec = uniform(0x0164);  // 356: a byte-order mix-up would read 0x6401
  spec.syntax = DicomSpec::Syntax::ExplicitBig;
  writeDicom("scan.dcm", spec);
  import(IntensityWindow{256, 456});
  EXPECT_EQ(centre(), 128);
}

TEST_F(DicomImport, DecodesRleAndJpegLosslessCompressedFrames) {
  for (const auto syntax : {DicomSpec::Syntax::RleLossless, DicomSpec::Syntax::JpegLossless}) {
    DicomSpec spec;
    spec.frames = 2;
    spec.bitsStored = 12;
    spec.pixels.insert(spec.pixels.end(), 16, 1000);
    spec.pixels.insert(spec.pixels.end(), 16, 3000);
    spec.syntax = syntax;
    writeDicom("scan.dcm", spec);
    import(IntensityWindow{2000, 4000}, 1);
    EXPECT_EQ(centre(), 128);
  }
}

TEST_F(DicomImport, PicksTheRequestedFrameOfAMultiFrameFileAndTheMiddleByDefault) {
  DicomSpec spec;
  spec.frames = 3;
  for (std::uint32_t v : {50u, 100u, 150u}) spec.pixels.insert(spec.pixels.end(), 16, v);
  writeDicom("scan.dcm", spec);
  EXPECT_EQ(import(IntensityWindow{0, 255}).slice, 1);
  EXPECT_EQ(centre(), 100);
  import(IntensityWindow{0, 255}, 2);
  EXPECT_EQ(centre(), 150);
  EXPECT_EQ(import(IntensityWindow{0, 255}, 0).size[2], 3);
  EXPECT_EQ(centre(), 50);
}

TEST_F(DicomImport, RobustWindowSpansAllFramesSoNeighbouringSlicesCompare) {
  DicomSpec spec;
  spec.frames = 2;
  spec.pixels.insert(spec.pixels.end(), 16, 100);
  spec.pixels.insert(spec.pixels.end(), 16, 300);
  writeDicom("scan.dcm", spec);
  const ImportSummary first = import(std::nullopt, 0);
  const ImportSummary second = import(std::nullopt, 1);
  EXPECT_DOUBLE_EQ(first.window.low, second.window.low);
  EXPECT_DOUBLE_EQ(first.window.high, second.window.high);
  EXPECT_LT(first.window.low, 101.0);
  EXPECT_GT(first.window.high, 299.0);
}

TEST_F(DicomImport, MonochromeOneIsShownInverted) {
  DicomSpec spec = uniform(50, 8);
  spec.photometric = "MONOCHROME1";
  writeDicom("scan.dcm", spec);
  import(IntensityWindow{0, 255});
  EXPECT_EQ(centre(), 205);
}

TEST_F(DicomImport, ReportsPixelSpacingAndFlagsItsAbsence) {
  DicomSpec spec = uniform(10);
  spec.pixelSpacing = "0.5\\0.25";
  writeDicom("scan.dcm", spec);
  ImportSummary summary = import();
  EXPECT_DOUBLE_EQ(summary.spacingMm[0], 0.25);  // between columns
  EXPECT_DOUBLE_EQ(summary.spacingMm[1], 0.5);   // between rows
  EXPECT_FALSE(summary.spacingAssumed);

  writeDicom("scan.dcm", uniform(10));
  summary = import();
  EXPECT_TRUE(summary.spacingAssumed);
  EXPECT_DOUBLE_EQ(summary.spacingMm[0], 1.0);
}

TEST_F(DicomImport, FindsPixelSpacingInTheFunctionalGroupsOfEnhancedFiles) {
  DicomSpec spec = uniform(10);
  spec.groupPixelSpacing = "0.8\\0.4";
  writeDicom("scan.dcm", spec);
  const ImportSummary summary = import();
  EXPECT_DOUBLE_EQ(summary.spacingMm[0], 0.4);
  EXPECT_DOUBLE_EQ(summary.spacingMm[1], 0.8);
}

}  // namespace
}  // namespace pelk::test
