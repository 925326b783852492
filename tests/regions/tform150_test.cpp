#include "regions/tform150.h"

#include <string>
#include <utility>
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
using Regions = std::vector<std::pair<double, double>>;  // (area, intensity)

// A cluster summary file as the gate finder writes it.
std::string summary(const Regions& regions) {
  std::string s = intText(static_cast<long long>(regions.size())) + "\r\n";
  for (auto [area, intensity] : regions) {
    s += "   10   20    1";
    appendIntColumn(s, static_cast<long long>(area), 5);
    appendIntColumn(s, static_cast<long long>(area), 5);
    appendRealColumn(s, intensity, 9, 6);
    s += "  500   16\r\n";
  }
  return s + "\r\n";
}

class TumorAnalysisTest : public test::ScratchDirTest {
 protected:
  std::vector<std::string> run(const std::string& file1, const std::string& file2) {
    test::writeFile("cluster1.db.txt.dat", file1);
    test::writeFile("cluster2.db.txt.dat", file2);
    TForm150 form;
    form.setClusterFileNames("cluster1.db.txt.dat", "cluster2.db.txt.dat");
    form.doTumorAnalysis();
    return form.Memo1.lines;
  }
  std::string verdict(const Regions& group1, const Regions& group2) {
    return run(summary(group1), summary(group2)).back();
  }
};

TEST_F(TumorAnalysisTest, EmptyGroupsWriteEveryLineAsZeroAndStable) {
  auto log = run(summary({}), summary({}));
  const std::string zero = "    0.000";
  EXPECT_EQ(readFile("tpa.dat"),
            "Statistical Results\r\nGroup 1\r\n" + zero + " Total Area\r\n" + zero +
                " Mean Area\r\n" + zero + " Median Area\r\n" + zero + " Total Intensity\r\n" +
                zero + " Mean Intensity\r\n" + zero + " Median Intensity\r\n" + zero +
                " Tumor Idx\r\n" + "Group 2\r\n" + zero + " Total Area\r\n" + zero +
                " Mean Area\r\n" + zero + " Median Area\r\n" + zero + " Total Intensity\r\n" +
                zero + " Mean Intensity\r\n" + zero + " Median Instensity\r\n" + zero +
                " Tumor Index 2\r\n" + "Tumor Progression is STABLE (NO CHANGE)\r\n");
  std::vector<std::string> group = {"Total Area: " + zero,
                                    "Mean Area: " + zero,
                                    "Median Area: " + zero,
                                    "   ",
                                    "Total Intensity: " + zero,
                                    "Mean Intensity: " + zero,
                                    "Median Intensity: " + zero,
                                    "Tumor Index: " + zero,
                                    "   "};
  std::vector<std::string> expected = {"Memo1", "Statistical Results", "Group 1"};
  expected.insert(expected.end(), group.begin(), group.end());
  expected.push_back("Group 2");
  expected.insert(expected.end(), group.begin(), group.end());
  expected.push_back("Tumor Progression is STABLE (NO CHANGE)");
  EXPECT_EQ(log, expected);
}

TEST_F(TumorAnalysisTest, GroupStatisticsAndIndex) {
  run(summary({{10, 150}, {30, 120}, {20, 200}}), summary({}));
  auto lines = crlfLines(readFile("tpa.dat"));
  EXPECT_EQ(lines[2], "   60.000 Total Area");
  EXPECT_EQ(lines[3], "   20.000 Mean Area");
  EXPECT_EQ(lines[4], "   20.000 Median Area");
  EXPECT_EQ(lines[5], "  470.000 Total Intensity");
  EXPECT_EQ(lines[6], "  156.667 Mean Intensity");
  EXPECT_EQ(lines[7], "  150.000 Median Intensity");
  // 0.25 x 60 + (8 x 3 + 3 x 20 + 6 x 156.667 + 6 x 150) / 39, the total area as T
  EXPECT_EQ(lines[8], "   64.333 Tumor Idx");
  EXPECT_EQ(lines[17], "Tumor Progression is DECREASING");
}

TEST_F(TumorAnalysisTest, MediansOfEvenAndSingleGroups) {
  run(summary({{10, 1}, {40, 4}, {20, 2}, {30, 3}}), summary({{7, 180}}));
  auto lines = crlfLines(readFile("tpa.dat"));
  EXPECT_EQ(lines[4], "   30.000 Median Area");  // the larger middle value, no average
  EXPECT_EQ(lines[7], "    3.000 Median Intensity");
  EXPECT_EQ(lines[12], "    7.000 Median Area");
  EXPECT_EQ(lines[15], "  180.000 Median Instensity");
}

TEST_F(TumorAnalysisTest, IdenticalGroupsAreStable) {
  Regions group = {{12, 130.25}, {3, 101}, {40, 250}};
  EXPECT_EQ(verdict(group, group), "Tumor Progression is STABLE (NO CHANGE)");
  EXPECT_EQ(verdict({}, group), "Tumor Progression is INCREASING");
}

TEST_F(TumorAnalysisTest, VerdictToleranceIsOneThousandth) {
  // With one region of area 10 the index moves by 12/39 of a change in intensity.
  auto shifted = [](double d) { return Regions{{10, 100 + d * 39 / 12}}; };
  const Regions base = {{10, 100}};
  EXPECT_EQ(verdict(base, shifted(0.0009)), "Tumor Progression is STABLE (NO CHANGE)");
  EXPECT_EQ(verdict(base, shifted(-0.0009)), "Tumor Progression is STABLE (NO CHANGE)");
  EXPECT_EQ(verdict(base, shifted(0.0011)), "Tumor Progression is INCREASING");
  EXPECT_EQ(verdict(base, shifted(-0.0011)), "Tumor Progression is DECREASING");
}

TEST_F(TumorAnalysisTest, EveryRegionTheFinderCanListIsUsed) {
  Regions many(300, {2, 110});
  many.push_back({5, 200});
  run(summary(many), summary(Regions(1000, {1, 101})));
  auto lines = crlfLines(readFile("tpa.dat"));
  EXPECT_EQ(lines[2], "  605.000 Total Area");
  EXPECT_EQ(lines[10], " 1000.000 Total Area");
}

TEST_F(TumorAnalysisTest, ValuesMissingAtTheEndReadAsZero) {
  run("3\r\n   10   20    1    4    4  100.000  500   16\r\n", summary({}));
  auto lines = crlfLines(readFile("tpa.dat"));
  EXPECT_EQ(lines[2], "    4.000 Total Area");
  EXPECT_EQ(lines[3], "    1.333 Mean Area");
  EXPECT_EQ(lines[4], "    0.000 Median Area");
}

TEST_F(TumorAnalysisTest, BadFilesStopBeforeTpaDatIsTouched) {
  auto failure = [&](const std::string& file1, const std::string& file2) -> std::string {
    try {
      auto log = run(file1, file2);
    } catch (const IoError& e) {
      EXPECT_FALSE(test::fileExists("tpa.dat"));
      return e.what();
    }
    return "no error";
  };
  EXPECT_EQ(failure("-3\r\n", summary({})), "Corrupt count -3 in cluster1.db.txt.dat");
  EXPECT_EQ(failure(summary({}), "5000\r\n"), "Corrupt count 5000 in cluster2.db.txt.dat");
  EXPECT_EQ(failure(summary({}), "1\r\n   10   20    1    4    4  1x0.000  500   16\r\n"),
            "Invalid numeric input: cluster2.db.txt.dat");
  EXPECT_EQ(failure("abc\r\n", summary({})), "Invalid numeric input: cluster1.db.txt.dat");

  TForm150 form;
  form.setClusterFileNames("missing1.dat", "missing2.dat");
  EXPECT_THROW(form.doTumorAnalysis(), IoError);
  EXPECT_EQ(form.Memo1.lines.size(), 1u);
  EXPECT_FALSE(test::fileExists("tpa.dat"));
}

}  // namespace
}  // namespace pelk
