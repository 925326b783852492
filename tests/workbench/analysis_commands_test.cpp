#include <gtest/gtest.h>

#include "tests/support/files.h"
#include "tests/workbench/workbench_fixture.h"
#include "workbench/command_args.h"

namespace pelk::test {
namespace {

using AnalysisCommands = WorkbenchTest;
using State = ModuleSlot<TForm101>::State;

void expectFiles(std::initializer_list<const char*> names) {
  for (const char* name : names) EXPECT_TRUE(fileExists(name)) << name;
}

TEST_F(AnalysisCommands, RankAnalysis1CopiesBothLogsBetweenItsOwnLines) {
  wb->Button3Click();
  ASSERT_TRUE(dialogs.errors.empty()) << dialogs.errors[0];

  // The same module runs on their own give the logs the command must have copied whole.
  TForm101 profiles;
  profiles.SetupParam1("standard.bmp", "reference.bmp");
  profiles.MakeParam2Files(firstTwo("standard.bmp", "reference.bmp"),
                           firstTwo("setup101.param1", "setup101b.param1"));
  TForm102 rank;
  rank.performRRA1("setup101.param1", "setup101b.param1");
  ASSERT_EQ(profiles.Memo1.lines.front(), "Memo1");
  ASSERT_GT(rank.Memo1.lines.size(), 2u);

  auto expected =
      concat({{"Processing: Setting Up Param1 Files", "Processing: Making Param1 Files"},
              profiles.Memo1.lines,
              {"Param1 Files Setup Completed", ""},
              rank.Memo1.lines,
              {" ", "Ready", " "}});
  EXPECT_EQ(linesSince(2), expected);
  expectFiles({"vhist3.dat", "vhist3.db.txt", "setup101.param1", "setup101b.param1", "param1.sql",
               "rra1.sql"});
  EXPECT_EQ(wb->modules().form101.state(), State::Closed);
  EXPECT_EQ(wb->modules().form102.state(), ModuleSlot<TForm102>::State::Closed);
}

TEST_F(AnalysisCommands, ExportsGetFixedPatientAndTestWhateverTheTestInfo) {
  dialogs.answers = {"Ann Smith", "H-7", "T-42", "2026-12-08"};
  wb->Button11Click();
  wb->Button3Click();
  for (const char* script : {"param1.sql", "rra1.sql"}) {
    std::string text = readFile(script);
    EXPECT_NE(text.find("patient1"), std::string::npos) << script;
    EXPECT_NE(text.find("test1"), std::string::npos) << script;
    EXPECT_EQ(text.find("Ann Smith"), std::string::npos) << script;
    EXPECT_EQ(text.find("T-42"), std::string::npos) << script;
  }
}

TEST_F(AnalysisCommands, RankAnalysis2CopiesMapAndRankLogsAndFreesBoth) {
  wb->Button4Click();
  ASSERT_TRUE(dialogs.errors.empty()) << dialogs.errors[0];
  auto lines = linesSince(2);
  ASSERT_GE(lines.size(), 5u);
  EXPECT_EQ(lines[0], "Memo1");
  std::size_t second = findLine(lines, "Memo1", 1);
  EXPECT_LT(second, lines.size());
  EXPECT_EQ(std::vector<std::string>(lines.end() - 3, lines.end()),
            (std::vector<std::string>{" ", "Ready", " "}));
  expectFiles({"vmap1.dat", "setup101.map", "setup102b.map", "map1.sql", "rra2.sql"});
  EXPECT_EQ(wb->modules().form103.state(), ModuleSlot<TForm103>::State::Freed);
  EXPECT_EQ(wb->modules().form102.state(), ModuleSlot<TForm102>::State::Freed);
}

TEST_F(AnalysisCommands, MchsDrawsOnTheViewAndEndsWithoutReady) {
  auto before = wb->Image1.pixels();
  wb->Button5Click();
  ASSERT_TRUE(dialogs.errors.empty()) << dialogs.errors[0];
  auto lines = linesSince(2);
  ASSERT_GE(lines.size(), 5u);
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 4),
            (std::vector<std::string>{" ", "Results of MCHS", "", "Memo1"}));
  // The module's own log ends in "Ready"; the command adds only the empty line after it.
  EXPECT_EQ(lines.back(), "");
  EXPECT_NE(std::vector<std::string>(lines.end() - 3, lines.end()),
            (std::vector<std::string>{" ", "Ready", " "}));
  EXPECT_NE(wb->Image1.pixels(), before);
  expectFiles({"setup101.map1", "setup102b.map1", "mchs-results.dat", "mchs.sql"});
  EXPECT_EQ(wb->modules().form1031.state(), ModuleSlot<TForm1031>::State::Closed);
  EXPECT_EQ(wb->modules().form104.state(), ModuleSlot<TForm104>::State::Freed);
}

TEST_F(AnalysisCommands, ZonalHighlightReadiesBeforeItsExport) {
  wb->Button6Click();
  ASSERT_TRUE(dialogs.errors.empty()) << dialogs.errors[0];
  auto lines = linesSince(2);
  ASSERT_GE(lines.size(), 8u);
  EXPECT_EQ(lines[0], "Processing: Setting Up Param1 Files");
  EXPECT_EQ(lines[1], "Memo1");
  std::size_t completed = findLine(lines, "Param1 Files Setup Completed");
  ASSERT_LT(completed + 2, lines.size());
  EXPECT_EQ(lines[completed + 1], "");
  EXPECT_EQ(lines[completed + 2], "Memo1");
  EXPECT_EQ(std::vector<std::string>(lines.end() - 3, lines.end()),
            (std::vector<std::string>{" ", "Ready", " "}));
  expectFiles({"vhist3.dat", "setup101.param1", "setup101b.param1", "zchs.dat", "zchs.sql"});
}

TEST_F(AnalysisCommands, DifferentialImageShowsTheDifferenceAndAppendsNothing) {
  wb->Button7Click();
  ASSERT_TRUE(dialogs.errors.empty()) << dialogs.errors[0];
  EXPECT_EQ(wb->Memo1.count(), 2u);
  EXPECT_EQ(wb->Image1.pixels(), viewOf("diffbmp.bmp"));
  EXPECT_NE(wb->Image1.pixels(), viewOf("test101.bmp"));
  expectFiles({"diffbmp.bmp", "diffbmp.sql"});
}

TEST_F(AnalysisCommands, DifferentialImageOfTheUntouchedFieldStopsAtItsFirstStep) {
  wb->Edit1 = "Edit1";
  auto view = wb->Image1.pixels();
  wb->Button7Click();
  EXPECT_EQ(dialogs.errors.size(), 1u);
  EXPECT_EQ(wb->Memo1.count(), 2u);
  EXPECT_EQ(wb->Image1.pixels(), view);
  EXPECT_FALSE(fileExists("diffbmp.sql"));
  // The differential-image object was created and not disposed of.
  EXPECT_EQ(wb->modules().form120.state(), ModuleSlot<TForm120>::State::Open);
}

TEST_F(AnalysisCommands, ClusterFindsTheLesionAndKeepsItsGateFinderOpen) {
  wb->Button8Click();
  ASSERT_TRUE(dialogs.errors.empty()) << dialogs.errors[0];
  auto lines = linesSince(2);
  ASSERT_GE(lines.size(), 5u);
  EXPECT_EQ(lines[0], "Memo1");
  EXPECT_GE(wb->modules().form130.get()->regionCount(), 1);
  EXPECT_EQ(std::vector<std::string>(lines.end() - 4, lines.end()),
            (std::vector<std::string>{std::string(50, '-'), " ", "Ready", " "}));
  expectFiles({"diffbmp.bmp", "cluster1.db.txt", "cluster1.db.txt.dat", "cluster1.sql"});
  EXPECT_EQ(wb->modules().form130.state(), ModuleSlot<TForm130>::State::Open);
  wb->Button8Click();
  EXPECT_EQ(wb->modules().form130.createdCount(), 2);
}

TEST_F(AnalysisCommands, TumorProgressionSeesTheLesionGrow) {
  wb->Button13Click();
  ASSERT_TRUE(dialogs.errors.empty()) << dialogs.errors[0];
  auto lines = linesSince(2);
  std::size_t firstRule = findLine(lines, std::string(50, '-'));
  std::size_t secondRule = findLine(lines, std::string(50, '-'), firstRule + 1);
  std::size_t lastRule = findLine(lines, std::string(48, '-'));
  ASSERT_LT(lastRule, lines.size());
  EXPECT_LT(firstRule, secondRule);
  EXPECT_LT(secondRule, lastRule);
  EXPECT_EQ(lines[firstRule + 1], "Memo1");
  EXPECT_EQ(lines[secondRule + 1], "Memo1");
  EXPECT_EQ(lines[lastRule - 1], "Tumor Progression is INCREASING");
  EXPECT_EQ(std::vector<std::string>(lines.begin() + lastRule + 1, lines.end()),
            (std::vector<std::string>{" ", "Ready", " "}));
  expectFiles({"cluster1.db.txt.dat", "cluster2.db.txt.dat", "tpa.dat", "tpa.sql"});
  EXPECT_EQ(wb->modules().form150.state(), ModuleSlot<TForm150>::State::Closed);
}

TEST_F(AnalysisCommands, FalseColourBeforeRankAnalysis2StopsAtItsSecondStep) {
  wb->Button15Click();
  EXPECT_EQ(dialogs.errors.size(), 1u);
  EXPECT_EQ(wb->Memo1.count(), 2u);
  EXPECT_EQ(wb->modules().form104.state(), ModuleSlot<TForm104>::State::Open);
  EXPECT_FALSE(fileExists("mchs-results.dat"));
}

TEST_F(AnalysisCommands, FalseColourAfterRankAnalysis2ReportsItsPoints) {
  wb->Button4Click();
  std::size_t before = wb->Memo1.count();
  wb->Button15Click();
  ASSERT_TRUE(dialogs.errors.empty()) << dialogs.errors[0];
  auto lines = linesSince(before);
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[0], "Memo1");
  EXPECT_EQ(std::vector<std::string>(lines.end() - 2, lines.end()),
            (std::vector<std::string>{"", "Ready"}));
  expectFiles({"mchs-results.dat"});
  EXPECT_EQ(wb->modules().form104.state(), ModuleSlot<TForm104>::State::Closed);
}

}  // namespace
}  // namespace pelk::test
