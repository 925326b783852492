#include "regions/tform170.h"

#include <array>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/format.h"
#include "common/io_error.h"
#include "tests/support/files.h"
#include "tests/support/scratch_dir.h"

namespace pelk {
namespace {

using test::crlfLines;
using test::readFile;

// A histogram profile: the count line, then 100 strip lines of five numbers; field 1 is the
// strip's mean and field 2 its peak.
struct Profile {
  std::array<std::array<int, 5>, 100> rows{};

  std::string text() const {
    std::string s = "  100    5\r\n";
    for (const auto& row : rows) {
      for (int v : row) appendIntColumn(s, v, 5);
      s += "  extra\r\n";  // anything after the five numbers is skipped
    }
    return s;
  }
};

class ZchsTest : public test::ScratchDirTest {
 protected:
  Profile first;
  Profile second;
  TForm170 form;  // the last run's

  // Makes row r of the second profile grow by d (split over mean and peak).
  void grow(int r, int d) {
    second.rows[r][1] = first.rows[r][1] + d / 2;
    second.rows[r][2] = first.rows[r][2] + (d - d / 2);
  }

  std::vector<std::string> run() {
    test::writeFile("setup101.param1", first.text());
    test::writeFile("setup101b.param1", second.text());
    form = TForm170();
    form.doZchs("setup101.param1", "setup101b.param1");
    return form.Memo1.lines;
  }
};

TEST_F(ZchsTest, NoGrowthGivesMinusOne) {
  for (auto& row : first.rows) row = {1, 50, 80, 3, 4};
  second = first;
  second.rows[7][1] = 40;  // a fall is dropped
  EXPECT_EQ(run(), (std::vector<std::string>{"Memo1", "Glist idx is    -1.000"}));
  EXPECT_EQ(readFile("zchs.dat"), "-1 glist idx\r\n");
  EXPECT_EQ(form.differenceCount(), 0);
}

TEST_F(ZchsTest, TheLargestKeptDifferenceIsNeverListed) {
  grow(42, 9);
  EXPECT_EQ(run(), (std::vector<std::string>{"Memo1", "Glist idx is     0.000"}));
  EXPECT_EQ(readFile("zchs.dat"), "0 glist idx\r\n");
  EXPECT_EQ(form.differenceSlot(0).d, 9.0);
  EXPECT_EQ(form.differenceSlot(0).r, 42.0);
}

TEST_F(ZchsTest, KeptDifferencesListedLargestFirstAfterTheFirst) {
  grow(10, 5);
  grow(3, 12);
  grow(40, 7);
  EXPECT_EQ(run(), (std::vector<std::string>{"Memo1", "Glist idx is     2.000",
                                             "   60.000 :     7.000", "   90.000 :     5.000"}));
  EXPECT_EQ(readFile("zchs.dat"), "2 glist idx\r\n   60.000     7.000\r\n   90.000     5.000\r\n");
}

TEST_F(ZchsTest, OnlyTheSumOfMeanAndPeakChangesCounts) {
  first.rows[20] = {0, 100, 100, 0, 0};
  second.rows[20] = {0, 90, 115, 0, 0};  // mean -10, peak +15
  first.rows[30] = {0, 100, 100, 0, 0};
  second.rows[30] = {0, 120, 81, 0, 0};  // mean +20, peak -19
  grow(50, 2);
  run();
  EXPECT_EQ(
      crlfLines(readFile("zchs.dat")),
      (std::vector<std::string>{"2 glist idx", "   50.000     2.000", "   70.000     1.000"}));
}

TEST_F(ZchsTest, AllRowsGrowingLeavesTheLastOutOfTheSort) {
  for (int r = 0; r < 100; ++r) grow(r, r + 1);  // row 99 grows most but sits in slot 100
  run();
  auto lines = crlfLines(readFile("zchs.dat"));
  ASSERT_EQ(lines.size(), 100u);
  EXPECT_EQ(lines[0], "99 glist idx");
  EXPECT_EQ(lines[1], "    3.000    98.000");   // row 97: the second largest of rows 0..98
  EXPECT_EQ(lines[98], "  100.000     1.000");  // row 0
  EXPECT_EQ(lines[99], "  100.000     0.000");  // the empty slot that started in slot 0
  EXPECT_EQ(form.differenceCount(), 100);
  EXPECT_EQ(form.differenceSlot(100).r, 99.0);
  EXPECT_EQ(form.differenceSlot(0).d, 99.0);
}

TEST_F(ZchsTest, ExtremeValuesWrapInsteadOfOverflowing) {
  first.rows[5] = {0, -2000000000, -2000000000, 0, 0};
  second.rows[5] = {0, 2000000000, 2000000000, 0, 0};
  EXPECT_NO_THROW(run());
}

TEST_F(ZchsTest, UnreadableProfileLeavesAnEmptyZchsDat) {
  test::writeFile("setup101.param1", first.text());
  TForm170 form;
  EXPECT_THROW(form.doZchs("setup101.param1", "missing.param1"), IoError);
  EXPECT_EQ(readFile("zchs.dat"), "");
  EXPECT_EQ(form.Memo1.lines.size(), 1u);

  test::writeFile("bad.param1", "  100    5\r\n    1    2  x3\r\n");
  EXPECT_THROW(form.doZchs("bad.param1", "setup101.param1"), IoError);
  EXPECT_EQ(readFile("zchs.dat"), "");
}

}  // namespace
}  // namespace pelk
