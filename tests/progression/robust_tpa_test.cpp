#include "progression/robust_tpa.h"

#include <gtest/gtest.h>

#include "common/io_error.h"
#include "tests/progression/test_scans.h"
#include "tests/support/files.h"
#include "tests/support/scratch_dir.h"

namespace pelk {
namespace {

class RobustTpa : public test::ScratchDirTest {
 protected:
  // Baseline without lesions; follow-up 1 with a lesion of radius r1 at (45, 60); follow-up 2
  // with one of radius r2 there, both written as scan files.
  void series(double r1, double r2) {
    const cv::Mat base = test::headSlice(128);
    cv::Mat f1 = base.clone(), f2 = base.clone();
    if (r1 > 0) test::addBlob(f1, 45, 60, r1, 90);
    if (r2 > 0) test::addBlob(f2, 45, 60, r2, 90);
    test::writeScan("base.bmp", base);
    test::writeScan("f1.bmp", f1);
    test::writeScan("f2.bmp", f2);
  }
  RobustTpaResult run() { return runRobustTpa("base.bmp", "f1.bmp", "f2.bmp"); }

  // The message a run with this baseline and first follow-up ends with.
  std::string errorOf(const std::string& baseline, const std::string& followUp1) {
    try {
      runRobustTpa(baseline, followUp1, "f2.bmp");
    } catch (const IoError& e) {
      return e.what();
    }
    return "no error";
  }
};

TEST_F(RobustTpa, GrowthIsIncreasingShrinkageDecreasingAndNoChangeStable) {
  series(6, 9);
  EXPECT_EQ(run().verdict, ProgressionVerdict::Increasing);
  series(8, 4);
  EXPECT_EQ(run().verdict, ProgressionVerdict::Decreasing);
  series(7, 7);
  const RobustTpaResult r = run();
  EXPECT_EQ(r.verdict, ProgressionVerdict::Stable);
  EXPECT_NEAR(static_cast<double>(r.burden1), 154, 25);
  EXPECT_EQ(r.burden1, r.burden2);
  EXPECT_EQ(r.newLesions, 0);
}

TEST_F(RobustTpa, ALesionAppearingElsewhereIsNewAndIncreasing) {
  series(7, 7);
  cv::Mat f2 = test::headSlice(128);
  test::addBlob(f2, 45, 60, 7, 90);
  test::addBlob(f2, 85, 75, 4, 90);
  test::writeScan("f2.bmp", f2);
  const RobustTpaResult r = run();
  EXPECT_EQ(r.newLesions, 1);
  EXPECT_EQ(r.verdict, ProgressionVerdict::Increasing);
  ASSERT_EQ(r.lesions.size(), 3u);
  EXPECT_EQ(r.lesions[0].followUp, 1);
  EXPECT_TRUE(r.lesions[2].isNew);
  EXPECT_NEAR(r.lesions[2].centroidX, 85, 1.0);
}

TEST_F(RobustTpa, AShiftedDarkerFollowUpIsAlignedAndNormalisedAndTheLegacyIsWarnedAbout) {
  series(7, 7);
  cv::Mat f2 = test::headSlice(128);
  test::addBlob(f2, 45, 60, 7, 90);
  cv::Mat darker;
  test::moved(f2, 2.0, -1.0).convertTo(darker, CV_8U, 0.95);
  test::writeScan("f2.bmp", darker);
  const RobustTpaResult r = run();
  EXPECT_EQ(r.verdict, ProgressionVerdict::Stable);
  EXPECT_NEAR(r.followUps[1].shiftX, 2.0, 0.15);
  EXPECT_NEAR(r.followUps[1].shiftY, -1.0, 0.15);
  EXPECT_NEAR(r.followUps[1].gain, 0.95, 0.01);
  EXPECT_TRUE(r.followUps[0].legacyWarnings.empty());
  ASSERT_EQ(r.followUps[1].legacyWarnings.size(), 2u);
  EXPECT_NE(r.followUps[1].legacyWarnings[0].find("misaligned"), std::string::npos);
  EXPECT_NE(r.followUps[1].legacyWarnings[1].find("darker"), std::string::npos);
}

TEST_F(RobustTpa, SpacingInTheBaselineGivesAreasInSquareMillimetres) {
  series(6, 6);
  test::writeScan("base.bmp", test::headSlice(128), 2000);  // 0.5 mm
  const RobustTpaResult r = run();
  ASSERT_TRUE(r.hasSpacing());
  EXPECT_DOUBLE_EQ(r.mm2PerPixel(), 0.25);
}

TEST_F(RobustTpa, BadInputEndsWithAClearError) {
  series(6, 6);
  EXPECT_EQ(errorOf("base.bmp", "missing.bmp"), "File not found: missing.bmp");
  test::writeScan("small.bmp", test::headSlice(64));
  EXPECT_EQ(errorOf("base.bmp", "small.bmp"),
            "Scan sizes differ: the baseline is 128 x 128, follow-up 1 small.bmp is 64 x 64");
  test::writeScan("blank.bmp", cv::Mat(128, 128, CV_8U, cv::Scalar(0)));
  EXPECT_EQ(errorOf("base.bmp", "blank.bmp"), "Blank scan (no contrast): follow-up 1 blank.bmp");
  test::writeFile("cut.bmp", test::readFile("f1.bmp").substr(0, 5000));
  EXPECT_NE(errorOf("base.bmp", "cut.bmp").find("Truncated bitmap"), std::string::npos);
  test::writeScan("tiny.bmp", cv::Mat(16, 16, CV_8U, cv::Scalar(0)));
  EXPECT_NE(errorOf("tiny.bmp", "tiny.bmp").find("Scan too small"), std::string::npos);
  cv::Mat noise(128, 128, CV_8U);
  cv::randu(noise, 0, 256);
  test::writeScan("other.bmp", noise);
  EXPECT_NE(errorOf("base.bmp", "other.bmp").find("Cannot align follow-up 1"), std::string::npos);
}

}  // namespace
}  // namespace pelk
