#include <cmath>

#include <gtest/gtest.h>

#include "importers/scan_import.h"
#include "importers/scan_reader.h"
#include "tests/importers/scan_files.h"
#include "tests/support/files.h"
#include "tests/support/scratch_dir.h"

namespace pelk::test {
namespace {

constexpr int kUint8 = 2, kInt16 = 4, kFloat32 = 16;

// 4 x 4 x 3 voxels whose every slice k holds one value, so the chosen slice shows in the output.
NiftiSpec slicesOf(int datatype, std::vector<double> perSlice) {
  NiftiSpec spec;
  spec.datatype = datatype;
  spec.size = {4, 4, static_cast<std::int64_t>(perSlice.size()), 1};
  for (double v : perSlice) spec.values.insert(spec.values.end(), 16, v);
  return spec;
}

class NiftiImport : public ScratchDirTest {
 protected:
  ImportSummary import(const std::string& source, std::optional<IntensityWindow> window,
                       std::optional<std::int64_t> slice = std::nullopt) {
    return importScan({source, "out.bmp", slice, window});
  }
  static int centre() { return readNominal("out.bmp").at(256, 256); }
};

TEST_F(NiftiImport, ReadsUint8AndTakesTheMiddleAxialSliceByDefault) {
  writeNifti("scan.nii", slicesOf(kUint8, {10, 20, 30}));
  const ImportSummary summary = import("scan.nii", IntensityWindow{0, 255});
  EXPECT_EQ(summary.format, "NIfTI-1");
  EXPECT_EQ(summary.slice, 1);
  EXPECT_EQ(centre(), 20);
  import("scan.nii", IntensityWindow{0, 255}, 2);
  EXPECT_EQ(centre(), 30);
}

TEST_F(NiftiImport, AppliesTheScaleSlopeAndIntercept) {
  NiftiSpec spec = slicesOf(kInt16, {-50, -50, -50});
  spec.slope = 2;
  spec.intercept = 400;  // -50 * 2 + 400 = 300
  writeNifti("scan.nii", spec);
  import("scan.nii", IntensityWindow{200, 400});
  EXPECT_EQ(centre(), 128);
}

TEST_F(NiftiImport, ReadsFloatVolumesGzippedAndAsNifti2) {
  NiftiSpec spec = slicesOf(kFloat32, {-0.5, 0.25, 0.75});
  writeNifti("scan.nii.gz", spec);
  EXPECT_EQ(readFile("scan.nii.gz").substr(0, 2), "\x1f\x8b");  // really gzipped
  import("scan.nii.gz", IntensityWindow{-1, 1});
  EXPECT_EQ(centre(), 159);  // 0.25 is 5/8 of the way: 159.4

  spec.version = 2;
  writeNifti("scan2.nii", spec);
  EXPECT_EQ(import("scan2.nii", IntensityWindow{-1, 1}).format, "NIfTI-2");
  EXPECT_EQ(centre(), 159);
}

TEST_F(NiftiImport, CalibrationRangeIsTheFilesOwnWindow) {
  NiftiSpec spec = slicesOf(kUint8, {60, 60, 60});
  spec.calMin = 20;
  spec.calMax = 100;
  writeNifti("scan.nii", spec);
  const ImportSummary summary = import("scan.nii", std::nullopt);
  EXPECT_EQ(summary.windowSource, WindowSource::File);
  EXPECT_EQ(centre(), 128);  // halfway: 127.5
}

TEST_F(NiftiImport, RobustWindowComesFromTheWholeVolume) {
  writeNifti("scan.nii", slicesOf(kUint8, {0, 100, 200}));
  const ImportSummary summary = import("scan.nii", std::nullopt, 1);
  EXPECT_EQ(summary.windowSource, WindowSource::Robust);
  EXPECT_DOUBLE_EQ(summary.window.low, 100.0);
  EXPECT_DOUBLE_EQ(summary.window.high, 200.0);
  EXPECT_EQ(centre(), 0);  // the lowest tissue value is black even though its slice is all of it
}

TEST_F(NiftiImport, TakesTheFirstVolumeOfATimeSeries) {
  NiftiSpec spec = slicesOf(kUint8, {10, 10, 10});
  spec.size[3] = 2;
  spec.values.insert(spec.values.end(), 48, 250);
  writeNifti("scan.nii", spec);
  import("scan.nii", IntensityWindow{0, 255});
  EXPECT_EQ(centre(), 10);
}

TEST_F(NiftiImport, SpacingIsReportedAndSetsTheOutputPixelSize) {
  NiftiSpec spec = slicesOf(kUint8, {1, 1, 1});
  spec.spacing = {0.5, 2, 3};
  writeNifti("scan.nii", spec);
  const ImportSummary summary = import("scan.nii", std::nullopt);
  EXPECT_DOUBLE_EQ(summary.spacingMm[0], 0.5);
  EXPECT_DOUBLE_EQ(summary.spacingMm[1], 2);
  EXPECT_DOUBLE_EQ(summary.outputSpacingMm, 8.0 / 512);  // 4 rows of 2 mm fill the height
}

TEST_F(NiftiImport, AVolumeReadOnceGivesAnyOfItsSlices) {
  writeNifti("scan.nii", slicesOf(kUint8, {10, 20, 30}));
  const ScanVolume volume = readScan("scan.nii");
  ASSERT_EQ(volume.sliceCount(), 3);
  importVolume(volume, {"scan.nii", "out.bmp", 0, IntensityWindow{0, 255}});
  EXPECT_EQ(centre(), 10);
  importVolume(volume, {"scan.nii", "out.bmp", 2, IntensityWindow{0, 255}});
  EXPECT_EQ(centre(), 30);
}

}  // namespace
}  // namespace pelk::test
