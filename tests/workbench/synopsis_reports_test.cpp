#include <filesystem>

#include <gtest/gtest.h>

#include "sqlexport/sql_export.h"
#include "tests/support/files.h"
#include "tests/workbench/workbench_fixture.h"
#include "workbench/report_lines.h"

namespace pelk::test {
namespace {

using SynopsisReports = WorkbenchTest;

std::vector<std::string> heading(const char* title) {
  std::string rule(55, '=');
  return {" ", "Working ... ", " ", rule, title, rule, " "};
}

TEST_F(SynopsisReports, Report1CondensesFiveAnalyses) {
  wb->SyClick();
  ASSERT_TRUE(dialogs.errors.empty()) << dialogs.errors[0];
  auto lines = linesSince(2);

  auto top = concat({heading("= PELK 22 -Cocktail Synopsis Report 1"),
                     {"Patient: *****", "Test:    *****", "Hospital: *****", "Date:     *****", " ",
                      " ", "Results of RRA-1", "Processing: Setting Up Param1 Files"}});
  ASSERT_GT(lines.size(), top.size() + 5);
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + top.size()), top);

  // The verdicts are those of the analyses run on the files the report left behind.
  TForm102 rank1;
  rank1.performRRA1("setup101.param1", "setup101b.param1");
  TForm102 rank2;
  rank2.setRRA2Files("setup101.map", "setup102b.map");
  rank2.performRRA2();
  std::size_t i = top.size();
  EXPECT_EQ(lines[i], rra1ResultLine(rank1.rra1Value, rank1.rra1Significant));
  EXPECT_EQ(lines[i + 1], " ");
  EXPECT_EQ(lines[i + 2], "Results of RRA-2");
  EXPECT_EQ(lines[i + 3], rra2ResultLine(rank2.rra2Value, rank2.rra2Significant));
  EXPECT_EQ(std::vector<std::string>(lines.begin() + i + 4, lines.begin() + i + 8),
            (std::vector<std::string>{" ", "Results of MCHS", "", "Memo1"}));

  std::size_t zchs = findLine(lines, "Results of ZCHS");
  ASSERT_LT(zchs + 5, lines.size());
  EXPECT_EQ(lines[zchs - 1], " ");
  EXPECT_EQ(std::vector<std::string>(lines.begin() + zchs + 1, lines.begin() + zchs + 4),
            (std::vector<std::string>{"Processing: Setting Up Param1 Files",
                                      "Param1 Files Setup Completed", ""}));
  const TForm170& zones = *wb->modules().form170.get();
  int count = zones.differenceCount();
  EXPECT_EQ(lines[zchs + 4], glistIndexLine(count));
  std::size_t k = zchs + 5;
  for (int slot = 1; slot <= count - 1; ++slot, ++k)
    EXPECT_EQ(lines[k], glistSlotLine(slot, zones.differenceSlot(slot)));

  EXPECT_EQ(std::vector<std::string>(lines.begin() + k, lines.begin() + k + 3),
            (std::vector<std::string>{" ", "Results of Cluster", kClusterHeading}));
  k += 3;
  const TForm130& gates = *wb->modules().form130.get();
  int regions = gates.regionCount();
  EXPECT_GE(regions, 1);
  for (int region = 1; region <= regions; ++region, ++k)
    EXPECT_EQ(lines[k], clusterRowLine(region, gates.region(region)));
  EXPECT_EQ(std::vector<std::string>(lines.begin() + k, lines.end()),
            (std::vector<std::string>{" ", "END OF REPORT", " ", "Ready"}));

  for (const char* script :
       {"param1.sql", "rra1.sql", "rra2.sql", "map1.sql", "mchs.sql", "zchs.sql", "cluster1.sql"})
    EXPECT_TRUE(fileExists(script)) << script;
  EXPECT_EQ(wb->modules().form130.state(), ModuleSlot<TForm130>::State::Open);
}

TEST_F(SynopsisReports, Report1ExportsEachScriptFromTheFileItNames) {
  wb->SyClick();
  ASSERT_TRUE(dialogs.errors.empty()) << dialogs.errors[0];
  // Each script as its writer makes it from the named result file. Where a writer runs for both
  // scans the script left is the second scan's, and the first scan's file must give another.
  using Writer = void (*)(const std::string&, const std::string&, const std::string&);
  const struct {
    const char* script;
    Writer writer;
    const char* source;
    const char* firstScanSource;
  } exports[] = {
      {"param1.sql", param1Sql, "setup101b.param1", "setup101.param1"},
      {"map1.sql", map1Sql, "setup102b.map", "setup101.map"},
      {"mchs.sql", mchsSql, "mchs-results.dat", nullptr},
      {"zchs.sql", zchsSql, "zchs.dat", nullptr},
      {"cluster1.sql", cluster1Sql, "cluster1.db.txt.dat", nullptr},
  };
  for (const auto& e : exports) {
    const std::string written = readFile(e.script);
    e.writer(e.source, "patient1", "test1");
    EXPECT_EQ(written, readFile(e.script)) << e.script << " from " << e.source;
    if (!e.firstScanSource) continue;
    e.writer(e.firstScanSource, "patient1", "test1");
    EXPECT_NE(written, readFile(e.script)) << e.script << " from " << e.firstScanSource;
  }
}

TEST_F(SynopsisReports, Report1PrintsTheEnteredTestInformation) {
  dialogs.answers = {"Ann Smith", "H-7", "T-42", "2026-12-08"};
  wb->Button11Click();
  wb->Edit1 = "missing.bmp";  // the report stops at its first analysis
  wb->SyClick();
  auto lines = linesSince(2);
  ASSERT_GE(lines.size(), 11u);
  EXPECT_EQ(std::vector<std::string>(lines.begin() + 7, lines.begin() + 11),
            (std::vector<std::string>{"Patient: Ann Smith", "Test:    T-42", "Hospital: H-7",
                                      "Date:     2026-12-08"}));
  EXPECT_EQ(dialogs.errors.size(), 1u);
  EXPECT_EQ(findLine(lines, "END OF REPORT"), lines.size());
}

TEST_F(SynopsisReports, Report1StopsAtTheFailingAnalysis) {
  // The MCHS results file cannot be created where a folder of its name stands.
  std::filesystem::create_directory("mchs-results.dat");
  wb->SyClick();
  ASSERT_EQ(dialogs.errors.size(), 1u);
  auto lines = linesSince(2);
  EXPECT_EQ(lines.back(), "Results of MCHS");
  EXPECT_LT(findLine(lines, "Results of RRA-2"), lines.size());
  EXPECT_EQ(findLine(lines, "Results of ZCHS"), lines.size());
  EXPECT_EQ(findLine(lines, "END OF REPORT"), lines.size());
  EXPECT_FALSE(fileExists("zchs.sql"));
  // The window goes on taking commands.
  wb->Button2Click();
  EXPECT_EQ(wb->Memo1.lines()[wb->Memo1.count() - 2], "Ready");
}

TEST_F(SynopsisReports, Report2FramesTumorProgressionWithPlaceholders) {
  dialogs.answers = {"Ann Smith", "H-7", "T-42", "2026-12-08"};
  wb->Button11Click();
  wb->Button16Click();
  ASSERT_TRUE(dialogs.errors.empty()) << dialogs.errors[0];
  auto lines = linesSince(2);

  // The command the report runs, on its own.
  auto alone = startWorkbench();
  alone->Button13Click();
  std::vector<std::string> tpa(alone->Memo1.lines().begin() + 2, alone->Memo1.lines().end());

  auto expected = concat({heading("= PELK 22 -Cocktail Synopsis Report 2"),
                          {"Patient: <Patient ID>", "Test:    <TestID>", "Hospital: <Hospital ID>",
                           "Date:     <DateID>", " ", " ", " ", "Results of TPA-1"},
                          tpa,
                          {" ", "Results of TES", " ", "END OF REPORT", " ", "Ready"}});
  EXPECT_EQ(lines, expected);
  EXPECT_TRUE(fileExists("tpa.sql"));
}

TEST_F(SynopsisReports, Report2StopsWhenTheThirdImageIsMissing) {
  wb->Edit3 = "Edit3";
  wb->Button16Click();
  ASSERT_EQ(dialogs.errors.size(), 1u);
  auto lines = linesSince(2);
  EXPECT_EQ(findLine(lines, "Results of TES"), lines.size());
  EXPECT_EQ(findLine(lines, "END OF REPORT"), lines.size());
  EXPECT_EQ(lines.back(), std::string(50, '-'));
}

}  // namespace
}  // namespace pelk::test
