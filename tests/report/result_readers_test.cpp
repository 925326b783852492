#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include "report/run_results.h"
#include "tests/support/files.h"
#include "tests/support/scratch_dir.h"

namespace pelk {
namespace {

// Each reader refuses damaged content with a reason instead of returning a made-up number.
struct BadFile {
  const char* what;
  std::function<void(const std::string&)> read;
  const char* text;
  const char* reason;  // part of the message
};

class ResultReaderRefuses : public ::testing::TestWithParam<BadFile> {};

TEST_P(ResultReaderRefuses, WithItsReason) {
  const BadFile& c = GetParam();
  try {
    c.read(c.text);
    FAIL() << c.what << " was accepted";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find(c.reason), std::string::npos) << e.what();
  }
}

const auto rank = [](const std::string& t) { parseRankScript(t); };
const auto profile = [](const std::string& t) { parseProfile(t); };
const auto mchs = [](const std::string& t) { parseMchsResults(t); };
const auto zchs = [](const std::string& t) { parseZchs(t); };
const auto clusters = [](const std::string& t) { parseClusters(t); };
const auto tpa = [](const std::string& t) { parseLegacyProgression(t); };
const auto robust = [](const std::string& t) { parseRobustProgression(t); };
const auto study = [](const std::string& t) { parseStudy(t); };

INSTANTIATE_TEST_SUITE_P(
    Damaged, ResultReaderRefuses,
    ::testing::Values(
        BadFile{"rank script cut before its insert", rank, "use database pelk22\r\n", "no result"},
        BadFile{"rank script with a word for the result", rank,
                "insert into rra1 (a) values(0,\"temp\",\"p\",\"t\",  abc,TRUE);", "not a number"},
        BadFile{"rank script without determination", rank,
                "insert into rra1 (a) values(0,\"temp\",\"p\",\"t\",  1.5,MAYBE);",
                "determination"},
        BadFile{"profile cut short", profile, "     100       5\r\n       0  1  2  3  4\r\n",
                "announces 100 bands but holds 1"},
        BadFile{"profile with a short row", profile, "  1  5\r\n  0  1  2  3\r\n", "4 values"},
        BadFile{"profile with a word", profile, "  1  5\r\n  0  1  x  3  4\r\n", "\"x\""},
        BadFile{"MCHS without header", mchs, "1 2 3 4 5 6\r\n", "header"},
        BadFile{"MCHS row cut short", mchs, "   Idx X Y Value Xb Yb\r\n\r\n  1 239 125\r\n",
                "3 values"},
        BadFile{"ZCHS count above its rows", zchs, "3 glist idx\r\n   25.000  3.000\r\n",
                "announces 3"},
        BadFile{"cluster count above its rows", clusters, "2\r\n  1 2 3 4 5 6.0 7 8\r\n",
                "announces 2"},
        BadFile{"cluster area not whole", clusters, "1\r\n  1 2 3 4 5.5 6.0 7 8\r\n", "whole"},
        BadFile{"tpa.dat cut after group 1", tpa,
                "Group 1\r\n 1 a\r\n 2 b\r\n 3 c\r\n 4 d\r\n 5 e\r\n 6 f\r\n 7 g\r\n",
                "incomplete"},
        BadFile{"progression.json truncated", robust, "{\"verdict\": \"STA", "not valid JSON"},
        BadFile{"progression.json with an unknown verdict", robust, "{\"verdict\": \"BETTER\"}",
                "unknown verdict"},
        BadFile{"progression.json burden as text", robust,
                "{\"verdict\": \"STABLE\", \"burden1\": \"12\"}", "\"burden1\" is not a whole"},
        BadFile{"study.json without progression", study,
                "{\"baseline\": \"b.nii\", \"followups\": []}", "\"progression\" is missing"}));

TEST(ResultReaders, ReadTheFiguresTheAnalysesWrite) {
  const RankFigure r = parseRankScript(
      "use database pelk22\r\n\r\ninsert into rra2 (idx, fn, patientId, testId, result, isSig) "
      "values(0,\"temp\",\"patient1\",\"test1\",   11.952,TRUE);\r\n");
  EXPECT_DOUBLE_EQ(r.value, 11.952);
  EXPECT_TRUE(r.significant);

  const auto blocks = parseMchsResults(
      "\r\n=== MCHS RESULTS ===\r\n\r\n   Idx     X     Y Value   Xb   Yb\r\n\r\n"
      "     1   239   125 1217.113   170   186\r\n     2   239   128 1020.696   170   185\r\n");
  ASSERT_EQ(blocks.size(), 2u);
  EXPECT_EQ(blocks[1].y, 128);
  EXPECT_DOUBLE_EQ(blocks[0].value, 1217.113);

  EXPECT_TRUE(parseZchs("-1 glist idx\r\n").empty());
  const auto legacy = parseLegacyProgression(
      "\r\nStatistical Results\r\nGroup 1\r\n  484.000 Total Area\r\n  484.000 Mean Area\r\n"
      "  484.000 Median Area\r\n  141.715 Total Intensity\r\n  141.715 Mean Intensity\r\n"
      "  141.715 Median Intensity\r\n  202.041 Tumor Idx\r\nGroup 2\r\n 1296.000 Total Area\r\n"
      " 1296.000 Mean Area\r\n 1296.000 Median Area\r\n  142.616 Total Intensity\r\n"
      "  142.616 Mean Intensity\r\n  142.616 Median Instensity\r\n  467.779 Tumor Index 2\r\n"
      "Tumor Progression is INCREASING\r\n");
  EXPECT_EQ(legacy.verdict, "INCREASING");
  EXPECT_DOUBLE_EQ(legacy.groups[1].totalArea, 1296.0);
  EXPECT_DOUBLE_EQ(legacy.groups[1].tumourIndex, 467.779);
}

class RunResultsTest : public test::ScratchDirTest {};

TEST_F(RunResultsTest, TellAbsentFromUnreadable) {
  test::writeFile("rra1.sql", "use database pelk22\r\n");
  test::writeFile("zchs.dat", "");
  const ReportedRun r = loadRunResults(".");
  EXPECT_FALSE(r.rra2.present);
  EXPECT_TRUE(r.rra1.present);
  EXPECT_FALSE(r.rra1.data);
  EXPECT_NE(r.rra1.problem.find("rra1.sql"), std::string::npos);
  EXPECT_EQ(r.zchs.problem, "zchs.dat is empty");
}

}  // namespace
}  // namespace pelk
