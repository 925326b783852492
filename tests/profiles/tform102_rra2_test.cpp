#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/format.h"
#include "common/io_error.h"
#include "profiles/tform102.h"
#include "tests/support/files.h"
#include "tests/support/scratch_dir.h"

namespace pelk {
namespace {

using test::writeFile;
using CellFn = std::function<int(int row, int col)>;

// A map file: the two header lines, then `lines` lines of `perLine` values.
void writeMap(const std::string& name, const CellFn& cell, int lines = 101, int perLine = 101) {
  std::string text = "     100       5\r\nMean:       26.214\r\n";
  for (int r = 0; r < lines; ++r) {
    for (int k = 0; k < perLine; ++k) appendIntColumn(text, cell(r, k), 8);
    text += "\r\n";
  }
  writeFile(name, text);
}

std::vector<std::string> tail(const ModuleLog& log, std::size_t n) {
  return {log.lines.end() - static_cast<long>(n), log.lines.end()};
}

class RRA2Test : public test::ScratchDirTest {
 protected:
  double run(const CellFn& a, const CellFn& b) {
    writeMap("a.map", a);
    writeMap("b.map", b);
    form.setRRA2Files("a.map", "b.map");
    form.performRRA2();
    return form.rra2Value;
  }
  TForm102 form;
};

TEST_F(RRA2Test, IdenticalMapsScoreOneAndWriteTheWholeReport) {
  EXPECT_EQ(run([](int r, int k) { return r * 100 + k; }, [](int r, int k) { return r * 100 + k; }),
            1.0);
  EXPECT_FALSE(form.rra2Significant);
  std::vector<std::string> expected = {"Memo1",
                                       "Welcome to Corlune",
                                       "",
                                       "RRA for Sample is    1.000",
                                       "Processing Completed",
                                       "",
                                       "========================================================",
                                       "Relative Rank Conclusion Report ",
                                       "For Patient Edit2 and Patient-ID Edit3",
                                       "",
                                       "The result of comparing files: Edit1 and Edit5",
                                       "is that the result is not significant",
                                       "",
                                       "The value of test is    1.000",
                                       "========================================================",
                                       ""};
  EXPECT_EQ(form.Memo1.lines, expected);
}

TEST_F(RRA2Test, ThreeApartInEveryCellIsSignificant) {
  EXPECT_DOUBLE_EQ(run([](int, int) { return 40; }, [](int, int) { return 43; }), 13.0);
  EXPECT_TRUE(form.rra2Significant);
  EXPECT_EQ(form.Memo1.lines[3], "RRA for Sample is   13.000");
  EXPECT_EQ(form.Memo1.lines[11], "is that the result is SIGNIFICANT");
}

TEST_F(RRA2Test, ExactlyTenIsSignificant) {
  // 2500 cells 9 apart: 4 x 9 x 2500 = 90000 on top of the starting 10000.
  EXPECT_EQ(run([](int, int) { return 7; }, [](int r, int) { return r < 25 ? 16 : 7; }), 10.0);
  EXPECT_TRUE(form.rra2Significant);
  EXPECT_EQ(form.Memo1.lines[13], "The value of test is   10.000");

  form.rankConclusionReport("x", "y", std::nextafter(10.0, 0.0));
  EXPECT_FALSE(form.rra2Significant);
}

TEST_F(RRA2Test, EmptyCellsCountAsOneThousandthAndNegativesKeepTheirSign) {
  double value = run([](int r, int k) { return r == 4 && k == 7 ? 0 : 9; },
                     [](int r, int k) { return r == 4 && k == 7 ? 5 : 9; });
  EXPECT_NEAR(value * 10000.0 - 10000.0, 19.996, 1e-9);

  value = run([](int r, int k) { return r == 0 && k == 0 ? -3 : 1; }, [](int, int) { return 1; });
  EXPECT_NEAR(value * 10000.0 - 10000.0, 16.0, 1e-9);

  // Two empty cells add nothing.
  EXPECT_EQ(run([](int, int) { return 0; }, [](int, int) { return 0; }), 1.0);
}

TEST_F(RRA2Test, OnlyTheFirstHundredValuesOfLinesThreeToHundredTwoCount) {
  auto common = [](int r, int k) { return (r * 7 + k) % 50 + 1; };
  writeMap("a.map", common, 513, 513);
  writeMap(
      "b.map", [&](int r, int k) { return r >= 100 || k >= 100 ? 999999 : common(r, k); }, 110,
      150);
  form.setRRA2Files("a.map", "b.map");
  form.performRRA2();
  EXPECT_EQ(form.rra2Value, 1.0);
}

TEST_F(RRA2Test, ShortFileReadsOnAcrossLinesAndZeroAtTheEnd) {
  // All values on one line: row 0 takes the first hundred, the rest of the line is skipped and
  // every later cell is missing, so it reads as 0.
  std::string oneLine = "h1\r\nh2\r\n";
  for (int i = 0; i < 10000; ++i) oneLine += i < 100 ? "2 " : "9 ";
  writeFile("a.map", oneLine);
  writeMap("b.map", [](int r, int) { return r == 0 ? 2 : 0; });
  form.setRRA2Files("a.map", "b.map");
  form.performRRA2();
  EXPECT_EQ(form.rra2Value, 1.0);

  // Lines shorter than a row: the row continues on the next line before the rest is skipped.
  std::string split = "h1\r\nh2\r\n";
  for (int r = 0; r < 100; ++r) {
    for (int half = 0; half < 2; ++half) {
      for (int k = 0; k < 50; ++k) split += std::to_string(r) + " ";
      split += half == 1 ? "77 77\r\n" : "\r\n";
    }
  }
  writeFile("split.map", split);
  writeMap("rows.map", [](int r, int) { return r; });
  form.setRRA2Files("split.map", "rows.map");
  form.performRRA2();
  EXPECT_EQ(form.rra2Value, 1.0);
}

TEST_F(RRA2Test, BadMapsStopBeforeTheReportAndKeepTheResults) {
  run([](int, int) { return 1; }, [](int, int) { return 5; });
  const double before = form.rra2Value;
  const std::size_t logged = form.Memo1.lines.size();

  form.setRRA2Files("a.map", "missing.map");
  try {
    form.performRRA2();
    ADD_FAILURE();
  } catch (const IoError& e) {
    EXPECT_STREQ(e.what(), "File not found: missing.map");
  }
  writeFile("bad.map", "h1\r\nh2\r\n1 2 3 4x\r\n");
  form.setRRA2Files("bad.map", "a.map");
  try {
    form.performRRA2();
    ADD_FAILURE();
  } catch (const IoError& e) {
    EXPECT_STREQ(e.what(), "Invalid numeric input: bad.map");
  }
  EXPECT_EQ(form.Memo1.lines.size(), logged);
  EXPECT_EQ(form.rra2Value, before);
  EXPECT_TRUE(form.rra2Significant);
}

TEST_F(RRA2Test, OwnRunCommandReportsTheWindowFieldsAndNeedsStoredNames) {
  try {
    form.Button3Click();
    ADD_FAILURE();
  } catch (const IoError& e) {
    EXPECT_STREQ(e.what(), "No map files given for RRA-2");
  }
  EXPECT_EQ(form.Memo1.lines.size(), 4u);
  EXPECT_EQ(form.Memo1.lines.back(), "");

  writeMap("a.map", [](int, int) { return 3; });
  form.setRRA2Files("a.map", "a.map");
  form.patientMriFile = "scan one.bmp";
  form.baselineFile = "scan two.bmp";
  form.patientName = "Ann";
  form.patientId = "17";
  form.Button3Click();
  EXPECT_EQ(form.Memo1.lines[4], "");
  EXPECT_EQ(form.Memo1.lines[5], "RRA for Sample is    1.000");
  EXPECT_EQ(tail(form.Memo1, 11)[3], "For Patient Ann and Patient-ID 17");
  EXPECT_EQ(tail(form.Memo1, 11)[5],
            "The result of comparing files: scan one.bmp and scan two.bmp");
}

}  // namespace
}  // namespace pelk
