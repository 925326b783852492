#include "progression/change_detection.h"

#include <gtest/gtest.h>

#include "tests/progression/test_scans.h"

namespace pelk {
namespace {

struct Pair {
  cv::Mat base;
  cv::Mat follow;  // CV_32F, already on the baseline's scale
};

Pair pairWith(const std::function<void(cv::Mat&)>& change, double noiseSigma = 0.0) {
  Pair p;
  p.base = test::headSlice(128);
  cv::Mat f = p.base.clone();
  change(f);
  f.convertTo(p.follow, CV_32F);
  if (noiseSigma > 0) {
    cv::Mat noise(f.size(), CV_32F);
    cv::theRNG().state = 12345;
    cv::randn(noise, 0, noiseSigma);
    p.follow += noise;
  }
  return p;
}

ChangeMap detect(const Pair& p) {
  const cv::Mat all(p.base.size(), CV_8U, cv::Scalar(255));
  return detectChange(p.base, p.follow, all, all);
}

TEST(ChangeDetection, AFaintLesionIsFoundWithItsAreaMeanChangeAndCentroid) {
  const ChangeMap m = detect(pairWith([](cv::Mat& f) { test::addBlob(f, 40, 70, 6, 40); }));
  ASSERT_EQ(m.components.size(), 1u);
  const ChangeComponent& c = m.components[0];
  EXPECT_NEAR(static_cast<double>(c.area), 113, 15);  // pi x 6 x 6
  EXPECT_NEAR(c.meanChange, 40, 4);
  EXPECT_NEAR(c.centroidX, 40, 0.5);
  EXPECT_NEAR(c.centroidY, 70, 0.5);
  EXPECT_EQ(m.burden(), c.area);
  EXPECT_EQ(m.lesionMask.at<std::uint8_t>(70, 40), 255);
  EXPECT_EQ(m.lesionMask.at<std::uint8_t>(20, 20), 0);
}

TEST(ChangeDetection, DarkeningIsNotGrowthAndNothingWrapsAround) {
  // The legacy difference byte turns a pixel 1 to 77 levels darker into a bright one.
  const ChangeMap m = detect(pairWith([](cv::Mat& f) { test::addBlob(f, 64, 40, 10, -30); }));
  EXPECT_TRUE(m.components.empty());
}

TEST(ChangeDetection, SpecksAndOnePixelRidgesAreNotLesions) {
  const ChangeMap m = detect(pairWith([](cv::Mat& f) {
    f.at<std::uint8_t>(60, 60) = 255;
    f(cv::Rect(30, 90, 60, 1)) += cv::Scalar(80);  // a moved border's residue
    test::addBlob(f, 90, 40, 1.5, 90);             // 9 pixels, under the minimum size
  }));
  EXPECT_TRUE(m.components.empty());
}

TEST(ChangeDetection, AComponentOfTheMinimumSizeIsKeptAndOneSmallerDropped) {
  // A 5 x 4 block with one column of `extra` pixels beside it, starting `offset` rows down:
  // after the 5 x 5 median the block keeps its inner 8 pixels and the column adds what it
  // supports, which makes exactly kMinLesionPixels - 1, kMinLesionPixels and + 1.
  const struct {
    int extra, offset;
    long long area;
  } cases[] = {
      {1, 1, kMinLesionPixels - 1}, {1, 2, kMinLesionPixels}, {3, 0, kMinLesionPixels + 1}};
  for (const auto& c : cases) {
    Pair p;
    p.base = test::headSlice(128);
    p.base.convertTo(p.follow, CV_32F);
    p.follow(cv::Rect(60, 60, 5, 4)) += cv::Scalar(60);
    p.follow(cv::Rect(60 + c.offset, 64, c.extra, 1)) += cv::Scalar(60);
    const ChangeMap m = detect(p);
    if (c.area < kMinLesionPixels) {
      EXPECT_TRUE(m.components.empty()) << c.area;
    } else {
      ASSERT_EQ(m.components.size(), 1u) << c.area;
      EXPECT_EQ(m.components[0].area, c.area);
    }
  }
}

TEST(ChangeDetection, NoiseAloneRaisesTheThresholdInsteadOfMakingLesions) {
  const ChangeMap quiet = detect(pairWith([](cv::Mat&) {}));
  const ChangeMap noisy = detect(pairWith([](cv::Mat&) {}, 6.0));
  EXPECT_TRUE(noisy.components.empty());
  EXPECT_DOUBLE_EQ(quiet.threshold, kMinSignificantChange);
  EXPECT_GT(noisy.noiseSigma, quiet.noiseSigma);
  EXPECT_GE(noisy.threshold, kNoiseMultiple * noisy.noiseSigma);
}

TEST(ChangeDetection, ComponentsOutsideTheFollowUpsFieldOfViewAreIgnored) {
  const Pair p = pairWith([](cv::Mat& f) { test::addBlob(f, 30, 64, 6, 90); });
  cv::Mat inside(p.base.size(), CV_8U, cv::Scalar(255));
  inside.colRange(0, 50).setTo(0);
  EXPECT_TRUE(detectChange(p.base, p.follow, inside, inside).components.empty());
}

TEST(ChangeDetection, LargestComponentComesFirst) {
  const ChangeMap m = detect(pairWith([](cv::Mat& f) {
    test::addBlob(f, 40, 40, 4, 90);
    test::addBlob(f, 80, 80, 8, 90);
  }));
  ASSERT_EQ(m.components.size(), 2u);
  EXPECT_GT(m.components[0].area, m.components[1].area);
  EXPECT_NEAR(m.components[0].centroidX, 80, 0.5);
}

TEST(NewLesions, OnlyComponentsSharingNoPixelWithTheEarlierLesionsAreNew) {
  ChangeMap later = detect(pairWith([](cv::Mat& f) {
    test::addBlob(f, 40, 40, 6, 90);  // grown from an earlier lesion
    test::addBlob(f, 85, 80, 4, 90);  // appeared
  }));
  cv::Mat earlier = cv::Mat::zeros(128, 128, CV_8U);
  earlier.at<std::uint8_t>(40, 43) = 255;
  EXPECT_EQ(markNewLesions(later, earlier), 1);
  ASSERT_EQ(later.components.size(), 2u);
  EXPECT_FALSE(later.components[0].isNew);
  EXPECT_TRUE(later.components[1].isNew);
}

}  // namespace
}  // namespace pelk
