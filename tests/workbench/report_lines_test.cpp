#include "workbench/report_lines.h"

#include <gtest/gtest.h>

namespace pelk {
namespace {

TEST(ReportLines, Rra1ResultWithItsDeterminationTexts) {
  EXPECT_EQ(rra1ResultLine(12.3456, true), "Result:    12.346 Determination: Significant");
  EXPECT_EQ(rra1ResultLine(0.5, false), "Result:     0.500 Determination: Not Sigificant");
  EXPECT_EQ(rra1ResultLine(-1.25, false), "Result:    -1.250 Determination: Not Sigificant");
  EXPECT_EQ(rra1ResultLine(123456789.0, true), "Result: 123456789.000 Determination: Significant");
}

TEST(ReportLines, Rra2VerdictsCarryTheirOwnLeadingBlank) {
  EXPECT_EQ(rra2ResultLine(9.5, false), "Result     9.500 Determination:  Not Significant");
  EXPECT_EQ(rra2ResultLine(10.0, true), "Result    10.000 Determination:  Significant");
}

TEST(ReportLines, GlistIndexIsTheCountLessOne) {
  EXPECT_EQ(glistIndexLine(4), "Glist idx is     3");
  EXPECT_EQ(glistIndexLine(0), "Glist idx is    -1");
}

TEST(ReportLines, GlistSlotShowsHundredLessTheRow) {
  EXPECT_EQ(glistSlotLine(1, ZoneDifference{37.0, 12.5}), "    1    63.000 :    12.500");
  EXPECT_EQ(glistSlotLine(12, ZoneDifference{100.0, -3.0}), "   12     0.000 :    -3.000");
}

TEST(ReportLines, ClusterRowWithReportPosition) {
  GateRegion region{100, 200, 3, 7, 21, 180.5};
  EXPECT_EQ(clusterRowLine(1, region), "    1   100   200     3     7    21   180.500   505   159");
}

TEST(ReportLines, ReportPositionRoundsExactHalvesToEven) {
  EXPECT_EQ(reportXb(492), 24);     // 24.5
  EXPECT_EQ(reportXb(452), 74);     // 73.5
  EXPECT_EQ(reportYb(100), 80);     // 79.5
  EXPECT_EQ(reportYb(300), 238);    // 238.5
  EXPECT_EQ(reportXb(600), -108);   // -107.8
  EXPECT_EQ(reportXb(1000), -598);  // -597.8
}

TEST(ReportLines, HeadingRuleIs55Equals) { EXPECT_EQ(reportRule(), std::string(55, '=')); }

}  // namespace
}  // namespace pelk
