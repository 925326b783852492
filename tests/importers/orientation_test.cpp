#include <gtest/gtest.h>

#include "importers/radiological_layout.h"
#include "importers/scan_import.h"
#include "tests/importers/scan_files.h"
#include "tests/support/scratch_dir.h"

namespace pelk::test {
namespace {

using Axes = std::array<PatientDirection, 3>;

bool bright(int row, int col) { return readNominal("out.bmp").at(row, col) > 200; }

// Which quarter of the picture holds the one bright voxel: "TL", "TR", "BL" or "BR".
std::string markerCorner() {
  const NominalImage image = readNominal("out.bmp");
  std::string found;
  for (const auto& [name, row, col] : {std::tuple{"TL", 32, 32}, std::tuple{"TR", 32, 480},
                                       std::tuple{"BL", 480, 32}, std::tuple{"BR", 480, 480}})
    if (image.at(row, col) > 200) found += name;
  return found;
}

// ---- DICOM: Image Orientation (Patient) ------------------------------------------------------

class DicomOrientation : public ScratchDirTest {
 protected:
  // The bright voxel is stored in the first row, last column.
  std::string cornerFor(std::optional<std::string> orientation) {
    DicomSpec spec;
    spec.pixels.assign(16, 0);
    spec.pixels[3] = 255;
    spec.orientation = std::move(orientation);
    writeDicom("scan.dcm", spec);
    importScan({"scan.dcm", "out.bmp", std::nullopt, IntensityWindow{0, 255}});
    return markerCorner();
  }
};

TEST_F(DicomOrientation, AxialAlreadyRadiologicalStaysAsStored) {
  EXPECT_EQ(cornerFor("1\\0\\0\\0\\1\\0"), "TR");
}

TEST_F(DicomOrientation, ColumnsRunningToThePatientsRightAreMirrored) {
  EXPECT_EQ(cornerFor("-1\\0\\0\\0\\1\\0"), "TL");
}

TEST_F(DicomOrientation, RowsRunningToTheFrontAreTurnedSoTheFrontIsUp) {
  EXPECT_EQ(cornerFor("1\\0\\0\\0\\-1\\0"), "BR");
}

TEST_F(DicomOrientation, TransposedAxialIsTransposedBack) {
  // Columns run to the back, rows to the patient's left.
  EXPECT_EQ(cornerFor("0\\1\\0\\1\\0\\0"), "BL");
}

TEST_F(DicomOrientation, CoronalKeepsTheHeadUp) {
  EXPECT_EQ(cornerFor("1\\0\\0\\0\\0\\-1"), "TR");
  EXPECT_EQ(cornerFor("1\\0\\0\\0\\0\\1"), "BR");
}

TEST_F(DicomOrientation, WithoutOrientationTheFrameIsShownAsStored) {
  EXPECT_EQ(cornerFor(std::nullopt), "TR");
}

TEST(RadiologicalLayout, SagittalFacesLeftWithTheHeadUp) {
  const Axes towardsBack{PatientDirection{0, 1, 0}, {0, 0, -1}, {1, 0, 0}};
  SliceLayout layout = radiologicalLayout(towardsBack, 2);
  EXPECT_EQ(layout.across, 0);
  EXPECT_FALSE(layout.flipAcross);
  EXPECT_FALSE(layout.flipDown);
  const Axes towardsFront{PatientDirection{0, -1, 0}, {0, 0, 1}, {-1, 0, 0}};
  layout = radiologicalLayout(towardsFront, 2);
  EXPECT_TRUE(layout.flipAcross);
  EXPECT_TRUE(layout.flipDown);
}

TEST(RadiologicalLayout, ObliqueAxialSnapsToTheNearestView) {
  // 20 degrees off: columns mostly left, rows mostly back.
  const double c = 0.9396926, s = 0.3420201;
  const Axes oblique{PatientDirection{c, s, 0}, {-s, c, 0}, {0, 0, 1}};
  const SliceLayout layout = radiologicalLayout(oblique, 2);
  EXPECT_EQ(layout.across, 0);
  EXPECT_EQ(layout.down, 1);
  EXPECT_FALSE(layout.flipAcross);
  EXPECT_FALSE(layout.flipDown);
}

TEST(HeadFootAxis, FindsTheAxisNearestTheHeadAndKeepsTheThirdOnATie) {
  EXPECT_EQ(headFootAxis({PatientDirection{0, 0, -1}, {0, 1, 0}, {1, 0, 0}}), 0);
  EXPECT_EQ(headFootAxis({PatientDirection{1, 0, 0}, {0, 0.8, 0.6}, {0, -0.6, 0.8}}), 2);
  EXPECT_EQ(headFootAxis({PatientDirection{0, 0, 0}, {0, 0, 0}, {0, 0, 0}}), 2);
}

// ---- NIfTI: sform / default axes -------------------------------------------------------------

class NiftiOrientation : public ScratchDirTest {
 protected:
  static NiftiSpec marked(std::array<std::int64_t, 4> size, std::int64_t i, std::int64_t j,
                          std::int64_t k) {
    NiftiSpec spec;
    spec.size = size;
    spec.values.assign(static_cast<std::size_t>(size[0] * size[1] * size[2]), 0);
    spec.values[static_cast<std::size_t>(i + size[0] * (j + size[1] * k))] = 255;
    return spec;
  }
  ImportSummary import(std::optional<std::int64_t> slice = std::nullopt) {
    return importScan({"scan.nii", "out.bmp", slice, IntensityWindow{0, 255}});
  }
};

TEST_F(NiftiOrientation, DefaultAxesPutThePatientsRightOnTheLeftAndTheFrontOnTop) {
  // Without a transform i runs to the patient's right and j to the front: the voxel at the
  // largest i and j is the right front of the head.
  writeNifti("scan.nii", marked({4, 4, 1, 1}, 3, 3, 0));
  import();
  EXPECT_EQ(markerCorner(), "TL");
}

TEST_F(NiftiOrientation, AnSformRunningToThePatientsLeftMirrorsThePicture) {
  NiftiSpec spec = marked({4, 4, 1, 1}, 3, 3, 0);
  spec.sform = {{{-1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}}};
  writeNifti("scan.nii", spec);
  import();
  EXPECT_EQ(markerCorner(), "TR");
}

TEST_F(NiftiOrientation, AQformTurnedHalfwayPutsTheMarkerInTheOppositeCorner) {
  // Quaternion (0, 0, 1): half a turn about the head-foot axis, so i runs to the patient's
  // left and j to the back.
  NiftiSpec spec = marked({4, 4, 1, 1}, 3, 3, 0);
  spec.qform = std::array<double, 3>{0, 0, 1};
  writeNifti("scan.nii", spec);
  import();
  EXPECT_EQ(markerCorner(), "BR");
}

TEST_F(NiftiOrientation, SlicesAreCutAxiallyWhateverTheStorageOrder) {
  // Stored sagittally: i runs up, j to the front, k to the patient's right.
  NiftiSpec spec = marked({3, 4, 5, 1}, 1, 3, 4);
  spec.sform = {{{0, 0, 1, 0}, {0, 1, 0, 0}, {1, 0, 0, 0}}};
  writeNifti("scan.nii", spec);
  const ImportSummary summary = import();
  EXPECT_EQ(summary.sliceAxis, 0);
  EXPECT_EQ(summary.slice, 1);
  // The slice is 5 wide (k) by 4 high (j), 1 mm each: 512 x 409.6 pixels, centred.
  EXPECT_TRUE(bright(60, 20));  // right front: top left
  EXPECT_FALSE(bright(60, 490));
  EXPECT_EQ(readNominal("out.bmp").at(50, 20), 0);  // padding above the slice
  import(0);
  EXPECT_FALSE(bright(60, 20));
}

}  // namespace
}  // namespace pelk::test
