#include "progression/rigid_registration.h"

#include <random>

#include <gtest/gtest.h>

#include "common/io_error.h"
#include "tests/progression/test_scans.h"

namespace pelk {
namespace {

TEST(RigidRegistration, RecoversASubPixelShiftOfTheFollowUp) {
  const cv::Mat base = test::headSlice(128);
  const RigidAlignment a = alignToBaseline(base, test::moved(base, 2.4, -1.3), "f");
  EXPECT_NEAR(a.shiftX, 2.4, 0.1);
  EXPECT_NEAR(a.shiftY, -1.3, 0.1);
  EXPECT_NEAR(a.rotationDeg, 0.0, 0.1);
  EXPECT_GT(a.correlation, 0.95);
}

TEST(RigidRegistration, RecoversARotationAboutTheCentreWithoutAFalseShift) {
  const cv::Mat base = test::headSlice(128);
  const RigidAlignment a = alignToBaseline(base, test::moved(base, 0, 0, 3.0), "f");
  // OpenCV's positive angle turns the picture anticlockwise as shown; the report counts
  // clockwise as positive.
  EXPECT_NEAR(a.rotationDeg, -3.0, 0.1);
  EXPECT_NEAR(a.shiftX, 0.0, 0.15);
  EXPECT_NEAR(a.shiftY, 0.0, 0.15);
  // A corner 89.8 pixels from the centre travels 2 x 89.8 x sin(1.5 deg).
  EXPECT_NEAR(largestDisplacement(a, 128, 128), 4.70, 0.3);
}

TEST(RigidRegistration, IgnoresGainAndOffsetOfTheFollowUp) {
  const cv::Mat base = test::headSlice(128);
  cv::Mat darker;
  test::moved(base, 1.0, 0.0).convertTo(darker, CV_8U, 0.8, 10);
  const RigidAlignment a = alignToBaseline(base, darker, "f");
  EXPECT_NEAR(a.shiftX, 1.0, 0.1);
  EXPECT_NEAR(a.shiftY, 0.0, 0.1);
}

TEST(RigidRegistration, ResampledFollowUpMatchesTheBaselineInsideItsFieldOfView) {
  const cv::Mat base = test::headSlice(128);
  const cv::Mat follow = test::moved(base, 3.0, 2.0);
  const RigidAlignment a = alignToBaseline(base, follow, "f");
  cv::Mat resampled, inside;
  resampleOntoBaseline(follow, a, resampled, inside);
  // Baseline pixel (x, y) lies at (x + 3, y + 2) in the follow-up: the right and bottom rims
  // were never seen.
  EXPECT_EQ(inside.at<std::uint8_t>(127, 127), 0);
  EXPECT_EQ(inside.at<std::uint8_t>(0, 0), 255);
  EXPECT_EQ(inside.at<std::uint8_t>(64, 64), 255);
  cv::Mat b;
  base.convertTo(b, CV_32F);
  cv::Mat error = cv::abs(resampled - b);
  EXPECT_LT(cv::mean(error, inside)[0], 2.0);
}

TEST(RigidRegistration, ScansOfDifferentThingsAreRefusedNotAligned) {
  const cv::Mat base = test::headSlice(128);
  cv::Mat noise(128, 128, CV_8U);
  cv::randu(noise, 0, 256);
  EXPECT_THROW(alignToBaseline(base, noise, "follow-up 1"), IoError);
}

}  // namespace
}  // namespace pelk
