#include "maps/tform104.h"

#include <cmath>
#include <memory>

#include <gtest/gtest.h>

#include "common/io_error.h"
#include "common/picture.h"
#include "tests/maps/mchs_maps.h"
#include "tests/support/files.h"
#include "tests/support/scratch_dir.h"

namespace pelk {
namespace {

using test::mapRowOf;

constexpr std::uint32_t kWhite = 0xFFFFFF;
const std::string kHeading =
    "=== MCHS RESULTS ===\r\n\r\n   Idx     X     Y Value   Xb   Yb\r\n\r\n";

std::vector<std::string> resultLines() {
  std::vector<std::string> lines = test::crlfLines(test::readFile("mchs-results.dat"));
  return {lines.begin() + std::min<std::ptrdiff_t>(4, static_cast<std::ptrdiff_t>(lines.size())),
          lines.end()};
}

int countNotWhite(const Picture& p) {
  int n = 0;
  for (std::uint32_t c : p.pixels()) n += c != kWhite;
  return n;
}

TEST(McHsScore, BlockScoreDividesByTheStandardsSum) {
  EXPECT_EQ(blockScore(100, 171), 50.41);
  EXPECT_EQ(blockScore(100, 170), 49.0);
  EXPECT_EQ(blockScore(0, 1), 1000.0);  // divisor 0.001 when |a| <= 0.001
  EXPECT_NEAR(blockScore(-0.0005, 1), 1.0010002500e3, 1e-6);
  EXPECT_EQ(blockScore(-100, 0), -100.0);
  EXPECT_EQ(blockScore(7, 7), 0.0);
}

TEST(McHsScore, CellScoreDividesByTheReferenceAndReplacesASmallOne) {
  EXPECT_EQ(TForm104::cellScore(171, 100), 50.41);
  EXPECT_NEAR(TForm104::cellScore(1, 0), 998.001, 1e-9);  // (1 - 0.001)^2 / 0.001
  EXPECT_NEAR(TForm104::cellScore(0, 0), 0.001, 1e-15);
  EXPECT_EQ(TForm104::cellScore(144, 4), 4900.0);
}

TEST(McHsPoints, ThresholdStartsAt50AndHighlightingRaisesItTo5000) {
  HighlightState shared;
  auto first = std::make_unique<TForm104>(shared);
  EXPECT_EQ(first->threshold(), 50.0);
  EXPECT_EQ(first->pointCount, 0);
  first->resetThreshold();
  EXPECT_EQ(first->threshold(), 5000.0);
  auto second = std::make_unique<TForm104>(shared);  // one threshold for a workbench's modules
  EXPECT_EQ(first->threshold(), 50.0);
}

TEST(McHsPoints, AddPointKeepsQualifyingPointsUpToTheCapacity) {
  auto m = std::make_unique<TForm104>();
  m->addPoint(0, 0, 50.0);
  m->addPoint(5, 6, 49.999);
  m->addPoint(-1, 6, 60);
  m->addPoint(5, -1, 60);
  m->addPoint(5, 6, std::nan(""));
  m->addPoint(5, 6, HUGE_VAL);
  ASSERT_EQ(m->pointCount, 1);
  EXPECT_EQ(m->pointValue[1], 50.0);

  for (int k = 2; k <= 10002; ++k) m->addPoint(k, 1, 60);
  EXPECT_EQ(m->pointCount, TForm104::kCapacity);
  EXPECT_EQ(TForm104::kCapacity, 10001);
  EXPECT_EQ(m->pointX[10001], 10001);
}

class McHsReport : public test::ScratchDirTest {};

std::vector<int> reportedXs(TForm104& m) {
  m.reportResults();
  std::vector<int> xs;
  for (int k = 1; k <= m.pointCount; ++k) xs.push_back(m.pointX[static_cast<std::size_t>(k)]);
  return xs;
}

TEST_F(McHsReport, TheExchangeSortIsNotStable) {
  auto m = std::make_unique<TForm104>();
  m->addPoint(1, 0, 60);
  m->addPoint(2, 0, 75);
  m->addPoint(3, 0, 60);
  EXPECT_EQ(reportedXs(*m), (std::vector<int>{2, 1, 3}));

  auto n = std::make_unique<TForm104>();
  n->addPoint(1, 0, 50);
  n->addPoint(2, 0, 50);
  n->addPoint(3, 0, 70);
  EXPECT_EQ(reportedXs(*n), (std::vector<int>{3, 2, 1}));
}

TEST_F(McHsReport, FileAndLogHoldTheSameFixedWidthLines) {
  auto m = std::make_unique<TForm104>();
  m->addPoint(0, 0, 60);
  m->addPoint(3, 512, 50.41);
  m->addPoint(1, 329, 55);
  m->reportResults();
  const std::vector<std::string> lines = {
      "     1     0     0   60.000   294   246",
      "     2     1   329   55.000   293    88",
      "     3     3   512   50.410   292     0",
  };
  EXPECT_EQ(test::readFile("mchs-results.dat"),
            kHeading + lines[0] + "\r\n" + lines[1] + "\r\n" + lines[2] + "\r\n");
  EXPECT_EQ(m->Memo1.lines,
            (std::vector<std::string>{
                "Memo1", "", "==== MCHS RESULTS====", "", "Idx   X     Y     Value  Xb  Yb",
                "--------------------------", lines[0], lines[1], lines[2], ""}));
}

TEST_F(McHsReport, WideNumbersKeepABlankBeforeThem) {
  auto m = std::make_unique<TForm104>();
  m->addPoint(3, 512, 123456789.5);
  m->addPoint(1234567, 5, 60);
  m->reportResults();
  EXPECT_EQ(resultLines(), (std::vector<std::string>{
                               "     1     3   512 123456789.500   292     0",
                               "     2 1234567     5   60.000 -637483   244",
                           }));
}

TEST_F(McHsReport, NoPointsLeaveTheFourHeadingLines) {
  auto m = std::make_unique<TForm104>();
  m->reportResults();
  EXPECT_EQ(test::readFile("mchs-results.dat"), kHeading);
}

class McHsPass : public test::ScratchDirTest {
 protected:
  // The standard map holds 100 in every block; the reference differs where `ref` says.
  void writeMaps(const std::function<long long(int row, int col)>& ref) {
    test::writeMap("setup101.map1", [](int, int) { return 100; });
    test::writeMap("setup102b.map1", ref);
  }
  void run() { module->performMCHS("setup101.map1", "setup102b.map1", view); }

  std::unique_ptr<TForm104> module = std::make_unique<TForm104>();
  Picture view;
};

TEST_F(McHsPass, IdenticalMapsDrawAndRecordNothing) {
  test::writeMap("setup101.map1", [](int row, int col) { return row * 7 + col; });
  test::writeMap("setup102b.map1", [](int row, int col) { return row * 7 + col; });
  run();
  EXPECT_EQ(countNotWhite(view), 0);
  EXPECT_EQ(module->pointCount, 0);
  EXPECT_EQ(test::readFile("mchs-results.dat"), kHeading);
  const std::vector<std::string>& log = module->Memo1.lines;
  ASSERT_GE(log.size(), 3u);
  EXPECT_EQ(log[log.size() - 2], "");
  EXPECT_EQ(log.back(), "Ready");
  EXPECT_EQ(module->threshold(), 5000.0);
}

TEST_F(McHsPass, BlocksReaching50AreDrawnAsRectanglesAndListed) {
  writeMaps([](int row, int col) {
    if (col > 100 || row == 0 || row > 101) return 99999;             // never read
    if (row == mapRowOf(100) && col == 10) return 171;                // (1, 329): below the picture
    if (row == mapRowOf(1) && (col == 10 || col == 100)) return 171;  // (1, 3) and (347, 3)
    if (row == mapRowOf(1) && col == 9) return 171;                   // x = -2: dropped
    if (row == mapRowOf(50) && col == 50) return 170;                 // 49.0: below the threshold
    return 100;
  });
  run();
  EXPECT_EQ(resultLines(), (std::vector<std::string>{
                               "     1     1   329   50.410   293    88",
                               "     2     1     3   50.410   293   245",
                               "     3   347     3   50.410   115   245",
                           }));
  // Each highlight covers one block: (1, 3) up to (4, 6) exclusive, in colour Trunc(50.41).
  EXPECT_EQ(countNotWhite(view), 2 * 9);
  for (int x : {1, 2, 3, 347, 348, 349})
    for (int y : {3, 4, 5}) EXPECT_EQ(view.pixel(x, y), 50u) << x << "," << y;
  EXPECT_EQ(view.pixel(4, 3), kWhite);
  EXPECT_EQ(view.pixel(1, 6), kWhite);
  EXPECT_EQ(view.penColor(), 0u);
}

TEST_F(McHsPass, ScoresPastTheColourRangeAreDrawnWithTheirLow24Bits) {
  test::writeMap("setup101.map1", [](int, int) { return 1; });
  test::writeMap("setup102b.map1",
                 [](int row, int col) { return row == mapRowOf(1) && col == 10 ? 5000 : 1; });
  run();
  // 4999^2 = 24990001 = 0x17D5131
  EXPECT_EQ(view.pixel(2, 4), 0x7D5131u);
  EXPECT_EQ(module->pointValue[1], 24990001.0);
}

TEST_F(McHsPass, AReferenceMapThatEndsEarlyReadsAsZeros) {
  std::string full = test::mapText([](int, int) { return "100"; });
  test::writeMap("setup101.map1", [](int, int) { return 100; });
  test::writeFile("setup102b.map1", full.substr(0, full.find("\r\n") + 2));
  run();
  EXPECT_EQ(module->pointCount, 91 * 101);  // columns 10..100, rows n = 100..0, score 100 each
}

TEST_F(McHsPass, MissingMapsStopBeforeAnythingChanges) {
  test::writeFile("mchs-results.dat", "earlier");
  test::writeMap("setup101.map1", [](int, int) { return 100; });
  EXPECT_THROW(run(), IoError);
  std::remove("setup101.map1");
  test::writeMap("setup102b.map1", [](int, int) { return 100; });
  EXPECT_THROW(run(), IoError);
  EXPECT_EQ(countNotWhite(view), 0);
  EXPECT_EQ(test::readFile("mchs-results.dat"), "earlier");
}

TEST_F(McHsPass, ANonNumericSumStopsThePassKeepingThePixelsSetSoFar) {
  test::writeFile("mchs-results.dat", "earlier");
  test::writeMap("setup101.map1", [](int, int) { return 100; });
  test::writeFile("setup102b.map1", test::mapText([](int row, int col) -> std::string {
                    if (row == mapRowOf(99) && col == 10) return "171";  // pixel (1, 325)
                    if (row == mapRowOf(95) && col == 3) return "1O0";
                    return "100";
                  }));
  try {
    run();
    FAIL() << "no error";
  } catch (const IoError& e) {
    EXPECT_EQ(std::string(e.what()), "Invalid numeric input: setup102b.map1");
  }
  EXPECT_EQ(view.pixel(1, 325), 50u);
  EXPECT_EQ(countNotWhite(view), 1);  // no rectangles
  EXPECT_EQ(test::readFile("mchs-results.dat"), "earlier");
}

TEST_F(McHsPass, AScoreThatOverflowsStopsThePass) {
  test::writeMap("setup101.map1", [](int, int) { return 0; });
  test::writeFile("setup102b.map1", test::mapText([](int row, int col) -> std::string {
                    return row == mapRowOf(90) && col == 50 ? "1e200" : "0";
                  }));
  EXPECT_THROW(run(), IoError);
  EXPECT_FALSE(test::fileExists("mchs-results.dat"));
}

class McHsTestGrid : public test::ScratchDirTest {};

TEST_F(McHsTestGrid, Button1ClickListsBlocksScoringAtLeast5000AtTheirGridPositions) {
  test::writeMap("setup101.map", [](int row, int col) -> long long {
    if (row == 1 && col == 19) return 72;                   // (98, 0): 71^2 = 5041
    if (row == 99 && col == 99) return 72;                  // (0, 80)
    if (row == 5 && col == 18) return 72;                   // y = -1: dropped
    if (row == 6 && col == 30) return 71;                   // 4900: below 5000
    if (row == 7 && col == 40) return 5;                    // (92, 21) against 0
    if (row == 100 || row == 0 || col >= 100) return 1000;  // never read
    return 1;
  });
  test::writeMap("setup102b.map", [](int row, int col) { return row == 7 && col == 40 ? 0 : 1; });
  auto m = std::make_unique<TForm104>();
  m->addPoint(1, 1, 1e6);  // cleared by the click
  m->Button1Click();
  EXPECT_EQ(m->mapName1, "setup101.map");
  EXPECT_EQ(m->mapName2, "setup102b.map");
  EXPECT_EQ(resultLines(), (std::vector<std::string>{
                               "     1    92    21 24990.001   246   236",
                               "     2    98     0 5041.000   243   246",
                               "     3     0    80 5041.000   294   208",
                           }));
  EXPECT_EQ(m->threshold(), 5000.0);
}

}  // namespace
}  // namespace pelk
