#include "progression/intensity_match.h"

#include <gtest/gtest.h>

#include "common/io_error.h"
#include "tests/progression/test_scans.h"

namespace pelk {
namespace {

cv::Mat everywhere(const cv::Mat& like) { return cv::Mat(like.size(), CV_8U, cv::Scalar(255)); }

TEST(IntensityMatch, FindsGainAndOffsetOverUnchangedTissueDespiteLesions) {
  const cv::Mat base = test::headSlice(128);
  cv::Mat lesioned = base.clone();
  test::addBlob(lesioned, 50, 60, 8, 90);
  test::addBlob(lesioned, 80, 70, 5, 90);
  cv::Mat follow;
  lesioned.convertTo(follow, CV_32F, 0.95, 4.0);
  const cv::Mat tissue = tissueMask(base, everywhere(base));
  const IntensityFit fit = fitIntensity(base, follow, tissue, "f");
  EXPECT_NEAR(fit.gain, 0.95, 0.005);
  EXPECT_NEAR(fit.offset, 4.0, 0.7);
  const cv::Mat normalised = normaliseIntensity(follow, fit);
  EXPECT_NEAR(normalised.at<float>(30, 64), base.at<std::uint8_t>(30, 64), 1.0);
}

TEST(IntensityMatch, TissueLeavesOutBackgroundAndTheFollowUpsBlindRim) {
  const cv::Mat base = test::headSlice(128);
  cv::Mat inside = everywhere(base);
  inside.colRange(0, 64).setTo(0);
  const cv::Mat tissue = tissueMask(base, inside);
  EXPECT_EQ(tissue.at<std::uint8_t>(2, 2), 0);    // air
  EXPECT_EQ(tissue.at<std::uint8_t>(64, 30), 0);  // outside the field of view
  EXPECT_EQ(tissue.at<std::uint8_t>(30, 70), 255);
}

TEST(IntensityMatch, TooLittleTissueIsAnErrorNotAGuess) {
  cv::Mat base = cv::Mat::zeros(64, 64, CV_8U);
  base(cv::Rect(10, 10, 4, 4)).setTo(200);
  cv::Mat follow;
  base.convertTo(follow, CV_32F);
  EXPECT_THROW(fitIntensity(base, follow, tissueMask(base, everywhere(base)), "f"), IoError);
}

TEST(IntensityMatch, AnInvertedFollowUpIsRefused) {
  const cv::Mat base = test::headSlice(128);
  cv::Mat follow;
  base.convertTo(follow, CV_32F, -1.0, 255.0);
  EXPECT_THROW(fitIntensity(base, follow, tissueMask(base, everywhere(base)), "f"), IoError);
}

}  // namespace
}  // namespace pelk
