#include <functional>
#include <memory>
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

// A profile file as the histogram builder writes it: "100 5" and one row per band
// (band, mean, peak, median, count).
void writeProfile(const std::string& name, const std::vector<int>& means) {
  std::string text = intText(static_cast<long long>(means.size()), 8) + intText(5, 8) + "\r\n";
  for (std::size_t i = 0; i < means.size(); ++i) {
    for (int v : {static_cast<int>(i), means[i], 7, 8, 9}) appendInt(text, v, 8);
    text += "\r\n";
  }
  writeFile(name, text);
}

std::vector<int> flatMeans(int mean, int rows = 100) { return std::vector<int>(rows, mean); }

std::vector<std::string> tail(const ModuleLog& log, std::size_t n) {
  return {log.lines.end() - static_cast<long>(n), log.lines.end()};
}

TestDescriptor descriptorAt(int p, const std::string& op, const std::string& vcmp = "2.0",
                            const std::string& vtol = "0.5") {
  TestDescriptor d;
  const std::string texts[7] = {"1", "2", "1", "a", vcmp, vtol, op};
  for (int i = 0; i < 7; ++i) d.slots[p + i] = texts[i];
  d.count = p + 6;
  return d;
}

class RRA1Test : public test::ScratchDirTest {
 protected:
  // Loads two profiles whose statistic is exactly halfUnits * 0.5: that many bands with
  // compared mean 2 and reference mean 3 add 0.5 each.
  void loadHalfUnits(TForm102& form, int halfUnits) {
    std::vector<int> ref = flatMeans(2);
    for (int i = 0; i < halfUnits; ++i) ref[i] = 3;
    writeProfile("cmp.param1", flatMeans(2));
    writeProfile("ref.param1", ref);
    form.loadCore(1, "cmp.param1");
    form.loadCore(2, "ref.param1");
  }
};

TEST_F(RRA1Test, IdenticalProfilesLogEverythingAndAreNotSignificant) {
  writeProfile("a.param1", flatMeans(40));
  writeProfile("b.param1", flatMeans(40));
  TForm102 form;
  form.performRRA1("a.param1", "b.param1");

  const auto& lines = form.Memo1.lines;
  ASSERT_EQ(lines.size(), 3u + 1 + 2 * 103 + 2 + 8 + 2);
  EXPECT_EQ(lines[0], "Memo1");
  EXPECT_EQ(lines[1], "Welcome to Corlune");
  EXPECT_EQ(lines[2], "");
  EXPECT_EQ(lines[3], "");
  EXPECT_EQ(lines[4], "Core:        1");
  EXPECT_EQ(lines[5], "Filename a.param1");
  EXPECT_EQ(lines[6], " N,M = 5 100");
  EXPECT_EQ(lines[7], "0 40 7 8 9 ");
  EXPECT_EQ(lines[106], "99 40 7 8 9 ");
  EXPECT_EQ(lines[107], "Core input 1:a.param1");
  EXPECT_EQ(lines[108], "Core:        2");
  EXPECT_EQ(lines[109], "Filename b.param1");
  EXPECT_EQ(lines[211], "Core input 2:b.param1");
  std::vector<std::string> expected = {"rra",
                                       "Core Compare: 1",
                                       "Core Ref    : 2",
                                       "Sto Reg     : 1",
                                       "Descriptor  : a",
                                       "Value cmp   : 2.0",
                                       "Value tol   : 0.5",
                                       "Comp Op     : >=",
                                       "RRA is    0.000 :    1.500",
                                       "RRA Result is FALSE"};
  EXPECT_EQ(tail(form.Memo1, expected.size()), expected);
  EXPECT_EQ(form.rra1Value, 0.0);
  EXPECT_FALSE(form.rra1Significant);
  EXPECT_EQ(form.coreValue(1, 100, 2), 40);
  EXPECT_EQ(form.coreValue(2, 1, 5), 9);
}

TEST_F(RRA1Test, EmptyBandsCountAsOneThousandthWithTheComparedProfileAsExpected) {
  std::vector<int> zeroFirst = flatMeans(50);
  std::vector<int> oneFirst = flatMeans(50);
  zeroFirst[0] = 0;
  oneFirst[0] = 1;
  writeProfile("zero.param1", zeroFirst);
  writeProfile("one.param1", oneFirst);

  TForm102 form;
  form.performRRA1("zero.param1", "one.param1");
  EXPECT_DOUBLE_EQ(form.rra1Value, 998.001);
  EXPECT_EQ(form.Memo1.lines[form.Memo1.lines.size() - 2], "RRA is  998.001 :    1.500");
  EXPECT_TRUE(form.rra1Significant);

  // The other way round the reference is the empty band and the division is by 1.
  TForm102 reverse;
  reverse.performRRA1("one.param1", "zero.param1");
  EXPECT_DOUBLE_EQ(reverse.rra1Value, 0.998001);
  EXPECT_FALSE(reverse.rra1Significant);

  // Negative means are floored the same way; two empty bands add nothing.
  std::vector<int> negative = flatMeans(50);
  negative[0] = -7;
  writeProfile("negative.param1", negative);
  TForm102 both;
  both.performRRA1("negative.param1", "zero.param1");
  EXPECT_EQ(both.rra1Value, 0.0);
}

TEST_F(RRA1Test, FixedTestIsTrueFromOnePointFiveUp) {
  TForm102 form;
  loadHalfUnits(form, 3);
  form.runRRATest(1, descriptorAt(1, ">="));
  EXPECT_EQ(form.rra1Value, 1.5);
  EXPECT_TRUE(form.rra1Significant);
  EXPECT_EQ(form.Memo1.lines.back(), "RRA Result is TRUE");
  EXPECT_EQ(form.Memo1.lines[form.Memo1.lines.size() - 2], "RRA is    1.500 :    1.500");

  loadHalfUnits(form, 2);
  form.runRRATest(1, descriptorAt(1, ">="));
  EXPECT_FALSE(form.rra1Significant);
}

TEST_F(RRA1Test, OperatorsCompareWithTheLoweredThresholdAndTheWindow) {
  struct Case {
    int halfUnits;  // S = halfUnits / 2
    std::string op;
    bool expected;
  };
  const std::vector<Case> cases = {
      {2, "=", false},  {3, "=", true},  {4, "=", true},   {5, "=", true},
      {6, "=", false},  {2, "!=", true}, {3, "!=", false}, {4, "!=", false},
      {5, "!=", false}, {6, "!=", true}, {3, ">", false},  {4, ">", true},
      {2, "<", true},   {3, "<", false}, {3, "<=", true},  {4, "<=", false}};
  for (const Case& c : cases) {
    TForm102 form;
    loadHalfUnits(form, c.halfUnits);
    // The test reads its seven slots from any position.
    form.runRRATest(9, descriptorAt(9, c.op));
    EXPECT_EQ(form.rra1Significant, c.expected) << "S=" << c.halfUnits / 2.0 << " op " << c.op;
  }
}

TEST_F(RRA1Test, UnknownOperatorTextsAlwaysPass) {
  for (const std::string op : {"==", ">= ", " >=", "GE", "", "=<", "<>"}) {
    EXPECT_EQ(parseCompOp(op), CompOp::Always) << '"' << op << '"';
    TForm102 form;
    loadHalfUnits(form, 0);
    form.runRRATest(1, descriptorAt(1, op));
    EXPECT_TRUE(form.rra1Significant) << '"' << op << '"';
    EXPECT_EQ(form.Memo1.lines[form.Memo1.lines.size() - 3], "Comp Op     : " + op);
  }
  EXPECT_EQ(parseCompOp("<="), CompOp::LessEqual);
  EXPECT_EQ(parseCompOp("!="), CompOp::NotEqual);
}

TEST_F(RRA1Test, ShortProfileUsesRowsLeftInItsSlotByAnEarlierLoad) {
  std::vector<int> withOutlier = flatMeans(10);
  withOutlier[79] = 20;  // core row 80
  writeProfile("full.param1", withOutlier);
  writeProfile("ref.param1", flatMeans(10));
  writeProfile("short.param1", flatMeans(10, 50));

  // Three objects of one workbench, sharing its core table.
  auto shared = std::make_unique<RankAnalysisState>();
  TForm102 first(*shared);
  first.performRRA1("full.param1", "ref.param1");
  EXPECT_DOUBLE_EQ(first.rra1Value, 5.0);

  TForm102 second(*shared);
  second.performRRA1("short.param1", "ref.param1");
  EXPECT_EQ(second.Memo1.lines[6], " N,M = 5 50");
  EXPECT_EQ(second.coreValue(1, 80, 2), 20);
  EXPECT_DOUBLE_EQ(second.rra1Value, 5.0);

  // The same files again give the same statistic.
  TForm102 third(*shared);
  third.performRRA1("full.param1", "ref.param1");
  EXPECT_EQ(third.rra1Value, first.rra1Value);
}

TEST_F(RRA1Test, ValuesMissingAtTheEndReadAsZero) {
  writeFile("cut.param1", "3 4\r\n1 2 3 4\r\n5 6");
  TForm102 form;
  form.loadCore(3, "cut.param1");
  EXPECT_EQ(form.coreValue(3, 2, 2), 6);
  EXPECT_EQ(form.coreValue(3, 2, 3), 0);
  EXPECT_EQ(form.coreValue(3, 3, 4), 0);
  std::vector<std::string> expected = {" N,M = 4 3", "1 2 3 4 ", "5 6 0 0 ", "0 0 0 0 "};
  EXPECT_EQ(tail(form.Memo1, 4), expected);
}

TEST_F(RRA1Test, HeaderLargerThanASlotIsRefusedBeforeAnyValueIsStored) {
  writeProfile("base.param1", flatMeans(33));
  TForm102 form;
  form.loadCore(4, "base.param1");

  std::string tall = "129 5\r\n";
  for (int i = 0; i < 129; ++i) tall += "5 5 5 5 5\r\n";
  writeFile("tall.param1", tall);
  writeFile("wide.param1", "100 257\r\n");
  for (const char* name : {"tall.param1", "wide.param1"}) {
    try {
      form.loadCore(4, name);
      ADD_FAILURE() << name;
    } catch (const IoError& e) {
      EXPECT_EQ(std::string(e.what()), std::string("Profile does not fit a core slot: ") + name);
    }
  }
  EXPECT_EQ(form.Memo1.lines[form.Memo1.lines.size() - 4], " N,M = 5 129");
  EXPECT_EQ(form.Memo1.lines.back(), " N,M = 257 100");
  EXPECT_EQ(form.coreValue(4, 1, 1), 0);
  EXPECT_EQ(form.coreValue(4, 1, 2), 33);
}

TEST_F(RRA1Test, FailedLoadKeepsEarlierResultsAndLoggedLines) {
  writeProfile("a.param1", flatMeans(2));
  writeProfile("b.param1", flatMeans(3));
  TForm102 form;
  form.performRRA1("a.param1", "b.param1");
  const double before = form.rra1Value;
  ASSERT_TRUE(form.rra1Significant);

  EXPECT_THROW(
      {
        try {
          form.performRRA1("a.param1", "missing.param1");
        } catch (const IoError& e) {
          EXPECT_STREQ(e.what(), "File not found: missing.param1");
          throw;
        }
      },
      IoError);
  EXPECT_EQ(form.Memo1.lines.back(), "Filename missing.param1");
  EXPECT_EQ(form.rra1Value, before);
  EXPECT_TRUE(form.rra1Significant);

  writeFile("bad.param1", "100 5\r\n0 12 x 4 5\r\n");
  try {
    form.loadCore(2, "bad.param1");
    ADD_FAILURE();
  } catch (const IoError& e) {
    EXPECT_STREQ(e.what(), "Invalid numeric input: bad.param1");
  }
}

TEST_F(RRA1Test, BadDescriptorSlotsEndTheTestAfterItsSlotsAreLogged) {
  TForm102 form;
  loadHalfUnits(form, 0);
  TestDescriptor wordy = descriptorAt(1, ">=", "two");
  EXPECT_THROW(form.runRRATest(1, wordy), IoError);
  EXPECT_EQ(form.Memo1.lines.back(), "Comp Op     : >=");

  TestDescriptor noCore = descriptorAt(1, ">=");
  noCore.slots[2] = "5";
  EXPECT_THROW(form.runRRATest(1, noCore), IoError);
  EXPECT_THROW(form.runRRATest(15, TestDescriptor{}), IoError);
  EXPECT_THROW(form.loadCore(0, "cmp.param1"), IoError);
  EXPECT_EQ(form.rra1Value, 0.0);
}

TEST_F(RRA1Test, OwnRunCommandLoadsTheWindowFieldsWithoutInputLines) {
  writeProfile("patient.param1", flatMeans(4));
  writeProfile("baseline.param1", flatMeans(4));
  TForm102 form;
  form.patientMriFile = "patient.param1";
  form.baselineFile = "baseline.param1";
  form.Button1Click();
  const auto& lines = form.Memo1.lines;
  EXPECT_EQ(lines[3], "");
  EXPECT_EQ(lines[4], "Core:        1");
  EXPECT_EQ(lines[107], "Core:        2");
  EXPECT_EQ(lines[210], "rra");
  EXPECT_EQ(lines.back(), "RRA Result is FALSE");
  for (const auto& line : lines) EXPECT_EQ(line.rfind("Core input", 0), std::string::npos);
}

TEST(TForm102Module, StartsWithWelcomeAndItsWindowTexts) {
  TForm102 form;
  EXPECT_EQ(form.Memo1.lines, (std::vector<std::string>{"Memo1", "Welcome to Corlune", ""}));
  EXPECT_EQ(form.patientMriFile + form.patientName + form.patientId + form.comments +
                form.baselineFile + form.outputFile,
            "Edit1Edit2Edit3Edit4Edit5Edit6");
  form.Button4Click();
  EXPECT_EQ(form.Memo1.lines.back(), "The function complete-tes is not yet implemented");
  EXPECT_EQ(form.Memo1.lines[form.Memo1.lines.size() - 2], "");
  EXPECT_FALSE(form.closed());
  form.Button5Click();
  EXPECT_TRUE(form.closed());
}

}  // namespace
}  // namespace pelk
