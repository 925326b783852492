#include <sstream>

#include <gtest/gtest.h>

#include "importers/import_command.h"
#include "tests/importers/scan_files.h"
#include "tests/support/files.h"
#include "tests/support/scratch_dir.h"

namespace pelk::test {
namespace {

class ImportCommand : public ScratchDirTest {
 protected:
  void SetUp() override {
    ScratchDirTest::SetUp();
    NiftiSpec spec;
    spec.size = {4, 4, 3, 1};
    spec.spacing = {0.5, 0.5, 2};
    for (double v : {10.0, 20.0, 30.0}) spec.values.insert(spec.values.end(), 16, v);
    writeNifti("scan.nii.gz", spec);
  }
  int run(const std::vector<std::string>& args) {
    out.str("");
    err.str("");
    return runImportCommand(args, out, err);
  }
  std::ostringstream out, err;
};

TEST_F(ImportCommand, PrintsOneLineSayingWhatWasReadAndWritten) {
  ASSERT_EQ(run({"scan.nii.gz", "--out", "std.bmp", "--slice", "2", "--window", "0:40"}), 0)
      << err.str();
  EXPECT_EQ(out.str(),
            "NIfTI-1 scan.nii.gz: 4 x 4 x 3 voxels, spacing 0.5 x 0.5 x 2 mm, axial slice 2 of 0-2 "
            "along k, window 0:40 (given) -> std.bmp (512 x 512, 0.003906 mm/pixel)\n");
  EXPECT_EQ(err.str(), "");
  EXPECT_EQ(readNominal("std.bmp").at(256, 256), 191);  // 30 of 0..40
}

TEST_F(ImportCommand, AutoWindowIsTheDefaultAndSaysWhereItCameFrom) {
  ASSERT_EQ(run({"scan.nii.gz", "--out", "std.bmp"}), 0);
  EXPECT_NE(out.str().find("axial slice 1 of 0-2"), std::string::npos) << out.str();
  EXPECT_NE(out.str().find("(robust, 1st-99.5th percentile)"), std::string::npos) << out.str();
  ASSERT_EQ(run({"scan.nii.gz", "--out=std.bmp", "--window", "auto"}), 0);
}

TEST_F(ImportCommand, NegativeWindowBoundsCanBeGiven) {
  ASSERT_EQ(run({"scan.nii.gz", "--out", "std.bmp", "--window=-40:40"}), 0) << err.str();
  EXPECT_NE(out.str().find("window -40:40 (given)"), std::string::npos) << out.str();
  ASSERT_EQ(run({"scan.nii.gz", "--out", "std.bmp", "--window", "-40:40"}), 0) << err.str();
  EXPECT_NE(out.str().find("window -40:40 (given)"), std::string::npos) << out.str();
}

TEST_F(ImportCommand, AFailedImportIsReportedAndReturnsOne) {
  EXPECT_EQ(run({"scan.nii.gz", "--out", "std.bmp", "--slice", "3"}), 1);
  EXPECT_EQ(err.str(), "error: import: Slice 3 is out of range: the scan has 3 slices (0 to 2)\n");
  EXPECT_EQ(out.str(), "");
  EXPECT_FALSE(fileExists("std.bmp"));
  EXPECT_EQ(run({"missing.dcm", "--out", "std.bmp"}), 1);
  EXPECT_EQ(err.str(), "error: import: File not found: missing.dcm\n");
}

TEST_F(ImportCommand, BadUsageReturnsTwoBeforeTouchingAnyFile) {
  EXPECT_EQ(run({"scan.nii.gz"}), 2);  // no --out
  EXPECT_NE(err.str().find("--out"), std::string::npos);
  EXPECT_EQ(run({"scan.nii.gz", "--out", "a.bmp", "--window", "40:0"}), 2);
  EXPECT_NE(err.str().find("MIN must be below MAX"), std::string::npos) << err.str();
  EXPECT_EQ(run({"scan.nii.gz", "--out", "a.bmp", "--slice", "two"}), 2);
  EXPECT_EQ(run({"scan.nii.gz", "--out", "a.bmp", "--colour"}), 2);
  EXPECT_EQ(run({"scan.nii.gz", "other.nii", "--out", "a.bmp"}), 2);
  EXPECT_FALSE(fileExists("a.bmp"));
}

TEST_F(ImportCommand, HelpGoesToStandardOutput) {
  EXPECT_EQ(run({"--help"}), 0);
  EXPECT_NE(out.str().find("--window"), std::string::npos);
  EXPECT_EQ(err.str(), "");
}

}  // namespace
}  // namespace pelk::test
