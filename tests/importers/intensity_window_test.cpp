#include <cmath>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "common/io_error.h"
#include "importers/intensity_window.h"

namespace pelk {
namespace {

TEST(RobustWindow, TakesThe1stAnd99Point5thPercentileOfNonZeroValues) {
  std::vector<float> values(1000, 0.0f);  // mostly air
  for (int v = 1; v <= 200; ++v) values.push_back(static_cast<float>(v));
  const IntensityWindow w = robustWindow(values);
  EXPECT_NEAR(w.low, 2.99, 1e-6);      // rank 1.99 of 0..199
  EXPECT_NEAR(w.high, 199.005, 1e-6);  // rank 198.005
}

TEST(RobustWindow, OutliersDoNotStretchIt) {
  std::vector<float> values(1000, 100.0f);
  values.push_back(1e9f);
  EXPECT_DOUBLE_EQ(robustWindow(values).high, 100.0);
}

TEST(RobustWindow, NotANumberIsLeftOutAndAnEmptyScanGivesZeroToOne) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  EXPECT_DOUBLE_EQ(robustWindow(std::vector<float>{nan, 5.0f, nan}).low, 5.0);
  const IntensityWindow empty = robustWindow(std::vector<float>(10, 0.0f));
  EXPECT_DOUBLE_EQ(empty.low, 0.0);
  EXPECT_DOUBLE_EQ(empty.high, 1.0);
}

TEST(WindowFromCentreWidth, FollowsTheLinearFunctionOfDicom) {
  const IntensityWindow w = windowFromCentreWidth(40, 400);
  EXPECT_DOUBLE_EQ(w.low, -160.0);
  EXPECT_DOUBLE_EQ(w.high, 239.0);
}

TEST(GreyLevel, IsLinearInsideAndClampedOutside) {
  const IntensityWindow w{100, 200};
  EXPECT_FLOAT_EQ(greyLevel(150, w), 127.5f);
  EXPECT_FLOAT_EQ(greyLevel(50, w), 0.0f);
  EXPECT_FLOAT_EQ(greyLevel(1e30f, w), 255.0f);
  EXPECT_FLOAT_EQ(greyLevel(std::numeric_limits<float>::quiet_NaN(), w), 0.0f);
}

TEST(GreyLevel, AnEmptyWindowIsAThreshold) {
  const IntensityWindow w{7, 7};  // a scan with a single non-zero value
  EXPECT_FLOAT_EQ(greyLevel(7, w), 255.0f);
  EXPECT_FLOAT_EQ(greyLevel(0, w), 0.0f);
}

TEST(ParseWindowText, AcceptsNegativeAndRealBounds) {
  const IntensityWindow w = parseWindowText("-100.5:300");
  EXPECT_DOUBLE_EQ(w.low, -100.5);
  EXPECT_DOUBLE_EQ(w.high, 300.0);
}

TEST(ParseWindowText, RejectsMalformedOrEmptyRanges) {
  for (const char* bad :
       {"", "100", "a:b", "10:", ":10", "10:20:30", "20:10", "5:5", "1:inf", "nan:3"})
    EXPECT_THROW(parseWindowText(bad), IoError) << bad;
}

}  // namespace
}  // namespace pelk
