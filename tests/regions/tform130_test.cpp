#include "regions/tform130.h"

#include <memory>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "common/io_error.h"
#include "tests/support/files.h"
#include "tests/support/gate_image.h"
#include "tests/support/scratch_dir.h"

namespace pelk {
namespace {

using test::crlfLines;
using test::GateImage;
using test::readFile;

class GateFinderTest : public test::ScratchDirTest {
 protected:
  // Runs the finder as "5. Cluster" does and returns the log.
  std::vector<std::string> run(const GateImage& image) {
    image.write("diffbmp.bmp");
    // Each run is a new finder object of the same workbench, as the commands make them.
    finder = std::make_unique<TForm130>(*shared);
    finder->setFileNames("diffbmp.bmp", "cluster1.db.txt");
    finder->doCluster();
    return finder->Memo1.lines;
  }

  // (x1, y1, dx, dy, area) of every region in table order.
  std::vector<std::vector<int>> regions() const {
    std::vector<std::vector<int>> out;
    for (int k = 1; k <= finder->regionCount(); ++k) {
      const GateRegion& r = finder->region(k);
      out.push_back({r.x1, r.y1, r.dx, r.dy, r.area});
    }
    return out;
  }

  std::unique_ptr<GateFinderState> shared = std::make_unique<GateFinderState>();
  std::unique_ptr<TForm130> finder;
};

TEST_F(GateFinderTest, NoBrightPixelWritesEmptyClusterFileAndZeroSummary) {
  GateImage image(20, 20, 100);  // 100 is not bright
  auto log = run(image);
  EXPECT_EQ(log,
            (std::vector<std::string>{"Memo1", "X size is 20", "Y Size is 20", "Areas Found = 0",
                                      "Program Done", "x1:y1:dx:dy:area:intensity:xb:yb"}));
  EXPECT_EQ(readFile("cluster1.db.txt"), "");
  EXPECT_EQ(readFile("cluster1.db.txt.dat"), "0\r\n\r\n");
}

TEST_F(GateFinderTest, SinglePixelGivesAllThreeRecordForms) {
  GateImage image(20, 20, 100);
  image.set(5, 7, 200);
  auto log = run(image);
  ASSERT_EQ(log.size(), 7u);
  EXPECT_EQ(log[3], "Areas Found = 1");
  EXPECT_EQ(log[6], "5: 7 : 1: 1 : 1 :   200.000 : 621 : 6");
  EXPECT_EQ(readFile("cluster1.db.txt"), "Edit2;Edit3;Edit4;5;7;1;1;1;  200.000;621;6\r\n");
  EXPECT_EQ(readFile("cluster1.db.txt.dat"),
            "1\r\n    5    7    1    1    1  200.000  621    6\r\n\r\n");
}

TEST_F(GateFinderTest, ThresholdIsAboveOneHundred) {
  GateImage image(20, 20);
  image.set(5, 5, 100);
  image.set(8, 5, 101);
  run(image);
  EXPECT_EQ(regions(), (std::vector<std::vector<int>>{{8, 5, 1, 1, 1}}));
  EXPECT_DOUBLE_EQ(finder->region(1).intensity, 101.0);
}

TEST_F(GateFinderTest, LShapeTakesColumnRunAndItsRowRuns) {
  GateImage image(20, 20);
  for (int a = 5; a <= 9; ++a) image.set(a, 10, 200);
  for (int b = 11; b <= 15; ++b) image.set(9, b, 200);
  image.set(5, 10, 110);  // the mean shows how many pixels were visited: (110 + 9 x 200) / 10
  run(image);
  EXPECT_EQ(regions(), (std::vector<std::vector<int>>{{5, 10, 5, 6, 30}}));
  EXPECT_DOUBLE_EQ(finder->region(1).intensity, 191.0);
}

TEST_F(GateFinderTest, BarAndCornerNeighbours) {
  GateImage image(20, 30);
  for (int b = 10; b <= 14; ++b) image.set(5, b, 200);
  image.set(10, 20, 200);  // touching only at a corner: two regions
  image.set(11, 21, 200);
  run(image);
  EXPECT_EQ(regions(), (std::vector<std::vector<int>>{
                           {5, 10, 1, 5, 5}, {10, 20, 1, 1, 1}, {11, 21, 1, 1, 1}}));
}

TEST_F(GateFinderTest, UShapeLeavesTheRightArmForALaterSeed) {
  GateImage image(20, 20);
  for (int a = 5; a <= 9; ++a) {
    image.set(a, 10, 200);
    image.set(a, 14, 200);
  }
  for (int b = 10; b <= 14; ++b) image.set(9, b, 200);
  run(image);
  EXPECT_EQ(regions(), (std::vector<std::vector<int>>{{5, 10, 5, 5, 25}, {5, 14, 4, 1, 4}}));
}

TEST_F(GateFinderTest, LowerRowReachingFurtherRightSetsTheWidthUpToTheLastColumn) {
  // Seed row 5 holds columns 15-16; rows 6-8 hang below column 15 and row 8 runs right to
  // `lastColumn`. Column 19 is the image's last, which a row run still counts.
  const struct {
    int lastColumn;
    std::vector<int> region;
  } cases[] = {{17, {5, 15, 4, 3, 12}}, {18, {5, 15, 4, 4, 16}}, {19, {5, 15, 4, 5, 20}}};
  for (const auto& c : cases) {
    GateImage image(20, 20);
    image.set(5, 16, 200);
    for (int a = 5; a <= 8; ++a) image.set(a, 15, 200);
    for (int b = 16; b <= c.lastColumn; ++b) image.set(8, b, 200);
    run(image);
    EXPECT_EQ(regions(), (std::vector<std::vector<int>>{c.region})) << c.lastColumn;
  }
}

TEST_F(GateFinderTest, EdgesAreNeverRecorded) {
  GateImage image(20, 20);
  for (int a = 1; a <= 6; ++a) image.set(a, 5, 200);  // seeded in row 1: cleared, not recorded
  image.set(0, 8, 200);                               // row 0 and column 0 are never examined
  image.set(8, 0, 200);
  image.set(12, 19, 200);  // a seed in column ymax stays open
  image.set(16, 3, 200);
  auto log = run(image);
  EXPECT_EQ(log[3], "Areas Found = 1");
  EXPECT_EQ(regions(), (std::vector<std::vector<int>>{{16, 3, 1, 1, 1}}));
}

TEST_F(GateFinderTest, ExchangeSortIsNotStable) {
  GateImage image(20, 20);
  // Found in this order with areas 2, 1, 2, 3.
  image.set(3, 2, 200), image.set(3, 3, 200);
  image.set(5, 2, 200);
  image.set(7, 2, 200), image.set(7, 3, 200);
  image.set(9, 2, 200), image.set(9, 3, 200), image.set(9, 4, 200);
  run(image);
  EXPECT_EQ(regions(), (std::vector<std::vector<int>>{
                           {9, 2, 1, 3, 3}, {7, 2, 1, 2, 2}, {3, 2, 1, 2, 2}, {5, 2, 1, 1, 1}}));
}

TEST_F(GateFinderTest, RegionsAfterTheThousandthAreDropped) {
  GateImage image(100, 100);
  std::vector<std::pair<int, int>> seeds;
  for (int a = 2; a < 100 && seeds.size() < 1001; a += 2)
    for (int b = 1; b < 98 && seeds.size() < 1001; b += 2) seeds.emplace_back(a, b);
  for (auto [a, b] : seeds) image.set(a, b, 150);
  auto log = run(image);
  EXPECT_EQ(log[3], "Areas Found = 1000");
  ASSERT_EQ(finder->regionCount(), 1000);
  // All areas are 1, so the sort leaves the order found.
  EXPECT_EQ(finder->region(1000).x1, seeds[999].first);
  EXPECT_EQ(finder->region(1000).y1, seeds[999].second);
  EXPECT_EQ(crlfLines(readFile("cluster1.db.txt")).size(), 1000u);
}

TEST_F(GateFinderTest, WideRegionKeepsSummaryColumnsApart) {
  GateImage image(110, 110);
  for (int a = 2; a <= 101; ++a)
    for (int b = 1; b <= 100; ++b) image.set(a, b, 255);
  run(image);
  // Area 10000 fills its field; a blank keeps it off dy.
  EXPECT_EQ(crlfLines(readFile("cluster1.db.txt.dat"))[1],
            "    2    1  100  100 10000  255.000  625    1");
}

TEST_F(GateFinderTest, StartButtonReversesRowsAndWritesOnlyGatesFile) {
  GateImage image(20, 20);
  image.set(5, 7, 200);  // stored row 5 lands in grid row 14
  image.write("picture.bmp");
  TForm130 form;
  form.imageFile = "picture.bmp";
  form.patientId = "P1";
  form.Button1Click();
  EXPECT_EQ(readFile("gates.db.txt"), "P1;Edit3;Edit4;14;7;1;1;1;  200.000;610;6\r\n");
  EXPECT_FALSE(test::fileExists("gates.db.txt.dat"));
  form.Button2Click();
  EXPECT_TRUE(form.closed());
}

TEST_F(GateFinderTest, RunsReplaceTheTableAndKeepNoStaleRegions) {
  GateImage image(20, 20);
  image.set(5, 7, 200);
  image.set(9, 7, 200);
  run(image);
  ASSERT_EQ(finder->regionCount(), 2);
  run(GateImage(20, 20));
  EXPECT_EQ(finder->regionCount(), 0);
  EXPECT_EQ(finder->region(1).area, 0);  // outside the table: an empty region, not stale data
}

class GateFinderErrorTest : public GateFinderTest {
 protected:
  std::string failure(const std::string& bytes, TForm130& form) {
    test::writeFile("diffbmp.bmp", bytes);
    form.setFileNames("diffbmp.bmp", "cluster1.db.txt");
    try {
      form.doCluster();
    } catch (const IoError& e) {
      return e.what();
    }
    return "no error";
  }
};

TEST_F(GateFinderErrorTest, ImageLargerThanTheGridIsRefusedAfterTheHeaderLines) {
  for (auto [x, y] : {std::pair{1002, 10}, std::pair{10, 1002}}) {
    TForm130 form;
    EXPECT_EQ(failure(test::bmpBytes(x, y, std::string(10 * 1002, '\xC8')), form),
              "Image too large for the gate finder: diffbmp.bmp");
    EXPECT_EQ(form.Memo1.lines.size(), 3u);
    EXPECT_FALSE(test::fileExists("cluster1.db.txt"));
  }
}

TEST_F(GateFinderErrorTest, ShortFilesFailWithoutOutput) {
  TForm130 form;
  GateImage image(20, 20);
  EXPECT_EQ(failure(image.bytes().substr(0, 1078 + 20 * 20 - 1), form),
            "Read beyond end of file: diffbmp.bmp");
  EXPECT_EQ(form.Memo1.lines, (std::vector<std::string>{"Memo1", "X size is 20", "Y Size is 20"}));
  EXPECT_FALSE(test::fileExists("cluster1.db.txt"));

  TForm130 header;
  EXPECT_EQ(failure(image.bytes().substr(0, 21), header), "Read beyond end of file: diffbmp.bmp");
  EXPECT_EQ(header.Memo1.lines.size(), 2u);

  TForm130 empty;  // no pixels announced, but the palette is cut short
  EXPECT_EQ(failure(GateImage(0, 0).bytes().substr(0, 1000), empty),
            "Read beyond end of file: diffbmp.bmp");

  TForm130 missing;
  missing.setFileNames("nothing.bmp", "cluster1.db.txt");
  EXPECT_THROW(missing.doCluster(), IoError);
}

}  // namespace
}  // namespace pelk
