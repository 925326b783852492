#include "progression/progression_report.h"

#include <gtest/gtest.h>

#include "progression/progression_picture.h"
#include "progression/robust_tpa.h"
#include "tests/support/files.h"
#include "tests/support/scratch_dir.h"

namespace pelk {
namespace {

// A 4 x 2 result: follow-up 1 has a lesion at picture pixels 1 and 2, follow-up 2 at 2 and 5;
// pixel 5 is new.
RobustTpaResult sample() {
  RobustTpaResult r;
  r.baselineName = "scan \"A\".bmp";
  r.width = 4;
  r.height = 2;
  r.followUps[0].name = "f1.bmp";
  r.followUps[1].name = "f2.bmp";
  r.followUps[1].shiftX = 1.5;
  r.followUps[1].gain = 0.95;
  r.followUps[1].legacyWarnings = {"Follow-up 2 is misaligned by up to 1.50 pixels."};
  r.lesions = {
      {1, 2, 80.0, 1.5, 0.0, false}, {2, 1, 85.0, 2.0, 0.0, false}, {2, 1, 70.0, 1.0, 1.0, true}};
  r.burden1 = 2;
  r.burden2 = 2;
  r.newLesions = 1;
  r.verdict = ProgressionVerdict::Increasing;
  r.baseline = {10, 20, 30, 40, 50, 60, 70, 80};
  r.lesions1 = {0, 255, 255, 0, 0, 0, 0, 0};
  r.lesions2 = {0, 0, 255, 0, 0, 255, 0, 0};
  return r;
}

TEST(ProgressionJson, CarriesTheVerdictBurdensFollowUpsAndComponents) {
  const std::string j = progressionJson(sample());
  EXPECT_NE(j.find("\"verdict\": \"INCREASING\""), std::string::npos);
  EXPECT_NE(j.find("\"burden1\": 2,"), std::string::npos);
  EXPECT_NE(j.find("\"burden1_mm2\": null"), std::string::npos);
  EXPECT_NE(j.find("\"new_lesions\": 1,"), std::string::npos);
  EXPECT_NE(j.find("\"shift\": [1.500, 0.000], \"rotation\": 0.000, \"gain\": 0.9500"),
            std::string::npos);
  EXPECT_NE(j.find("{\"followup\": 2, \"area\": 1, \"area_mm2\": null, \"mean_change\": 70.00, "
                   "\"centroid\": [1.00, 1.00], \"new\": true}"),
            std::string::npos);
  EXPECT_NE(j.find("\"baseline\": \"scan \\\"A\\\".bmp\""), std::string::npos);
}

TEST(ProgressionJson, AreasInSquareMillimetresWhenTheSpacingIsKnown) {
  RobustTpaResult r = sample();
  r.mmPerPixelX = r.mmPerPixelY = 0.5;
  const std::string j = progressionJson(r);
  EXPECT_NE(j.find("\"burden2_mm2\": 0.500"), std::string::npos);
  EXPECT_NE(j.find("\"area\": 2, \"area_mm2\": 0.500"), std::string::npos);
}

TEST(ProgressionJson, TinyNegativeEstimatesPrintAsZeroNotMinusZero) {
  RobustTpaResult r = sample();
  r.followUps[0].rotationDeg = -0.0004;
  EXPECT_NE(progressionJson(r).find("\"rotation\": 0.000, \"gain\": 1.0000"), std::string::npos);
  const auto lines = resultsSection(r);
  EXPECT_NE(std::find(lines.begin(), lines.end(),
                      "  Shift 0.00, 0.00 px  Rotation 0.00 deg  Gain 1.000  Offset 0.0"),
            lines.end());
}

TEST(ProgressionSection, IsTitledAndEndsWithTheVerdictAndTheLegacyWarnings) {
  const auto lines = resultsSection(sample());
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines[0], "Robust Tumour Progression Analysis");
  EXPECT_NE(std::find(lines.begin(), lines.end(), "Robust verdict: INCREASING"), lines.end());
  EXPECT_NE(std::find(lines.begin(), lines.end(), "Burden change: +0.0%"), lines.end());
  EXPECT_EQ(lines.back(), "  Follow-up 2 is misaligned by up to 1.50 pixels.");
}

TEST(ProgressionText, HoldsTheSectionAndOneTableLinePerLesionWithCrLfEnds) {
  const std::string t = progressionText(sample());
  const auto lines = test::crlfLines(t);
  EXPECT_EQ(lines[0], "Robust Tumour Progression Analysis");
  EXPECT_EQ(t.find('\n'), t.find("\r\n") + 1);
  EXPECT_EQ(lines.back(), " 2           1         70.0         1.0         1.0  yes");
}

TEST(ProgressionPicture, GrowthShrinkageAndPersistingLesionsTakeTheirColours) {
  const auto p = progressionPicture(sample());
  // Colour and grey blended half and half, channel by channel (0x00BBGGRR).
  EXPECT_EQ(p[0], 0x0A0A0Au);                         // baseline grey 10
  EXPECT_EQ(p[1], (137u << 16) | (74u << 8) | 10u);   // shrinkage, blue on grey 20
  EXPECT_EQ(p[2], (15u << 16) | (142u << 8) | 142u);  // persisting, yellow on grey 30
  EXPECT_EQ(p[5], (30u << 16) | (30u << 8) | 157u);   // growth, red on grey 60
}

TEST(ProgressionPicture, BitmapIs24BitOfTheScansSizeWithPaddedBottomUpRows) {
  const std::vector<std::uint32_t> colours = {0x0000FF, 0x00FF00, 0xFF0000, 0x123456, 0, 0};
  const std::string b = bitmap24Bytes(3, 2, colours, 0.5, 0.5);
  ASSERT_EQ(b.size(), 54u + 2 * 12);  // 9 bytes a row, padded to 12
  EXPECT_EQ(b[28], 24);
  EXPECT_EQ(static_cast<unsigned char>(b[38]) + 256 * static_cast<unsigned char>(b[39]), 2000);
  // The top picture row is stored last; blue, green, red byte order.
  EXPECT_EQ(static_cast<unsigned char>(b[54 + 12 + 2]), 0xFF);  // red of pixel (0, 0)
  EXPECT_EQ(static_cast<unsigned char>(b[54 + 12 + 6]), 0xFF);  // blue of pixel (2, 0)
  EXPECT_EQ(static_cast<unsigned char>(b[54 + 0]), 0x12);       // blue byte of (0, 1)
}

class ProgressionOutputs : public test::ScratchDirTest {};

TEST_F(ProgressionOutputs, WritesTheThreeFiles) {
  writeRobustTpaOutputs(sample());
  EXPECT_EQ(test::readFile("progression.json"), progressionJson(sample()));
  EXPECT_EQ(test::readFile("progression.txt"), progressionText(sample()));
  EXPECT_EQ(test::readFile("progression.bmp").size(), 54u + 2 * 12);
}

}  // namespace
}  // namespace pelk
