// Every malformed input of the table through every command of the workbench, one after the
// other in one window, as a user who keeps clicking would: each command completes or ends with
// one clear message, the results area keeps every line it held, the user's files stay as they
// were, and afterwards a command on sound scans works as usual.
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/file_io.h"
#include "tests/robustness/robustness_fixture.h"
#include "tests/support/files.h"
#include "tests/workbench/scripted_dialogs.h"
#include "workbench/printer.h"
#include "workbench/workbench.h"

namespace pelk::test {
namespace {

struct Command {
  const char* name;
  std::function<void(Workbench&, ScriptedDialogs&)> run;
};

// The false-colour command comes first, so that it meets a bad ".map" file before any other
// command writes a sound one over it.
const std::vector<Command>& everyCommand() {
  static const std::vector<Command> commands = {
      {"false colour", [](Workbench& w, ScriptedDialogs&) { w.Button15Click(); }},
      {"plot standard",
       [](Workbench& w, ScriptedDialogs&) {
         w.RadioGroup1 = 0;
         w.Button2Click();
       }},
      {"plot reference",
       [](Workbench& w, ScriptedDialogs&) {
         w.RadioGroup1 = 1;
         w.Button2Click();
       }},
      {"RRA-1", [](Workbench& w, ScriptedDialogs&) { w.Button3Click(); }},
      {"RRA-2", [](Workbench& w, ScriptedDialogs&) { w.Button4Click(); }},
      {"MCHS", [](Workbench& w, ScriptedDialogs&) { w.Button5Click(); }},
      {"ZCHS", [](Workbench& w, ScriptedDialogs&) { w.Button6Click(); }},
      {"differential image", [](Workbench& w, ScriptedDialogs&) { w.Button7Click(); }},
      {"cluster", [](Workbench& w, ScriptedDialogs&) { w.Button8Click(); }},
      {"tumour progression", [](Workbench& w, ScriptedDialogs&) { w.Button13Click(); }},
      {"synopsis 1", [](Workbench& w, ScriptedDialogs&) { w.SyClick(); }},
      {"synopsis 2", [](Workbench& w, ScriptedDialogs&) { w.Button16Click(); }},
      {"TES", [](Workbench& w, ScriptedDialogs&) { w.Button9Click(); }},
      {"test information",
       [](Workbench& w, ScriptedDialogs& d) {
         d.answers = {"P\xe4tient 7", "H 1", "T 2", "2026-12-08"};
         w.Button11Click();
       }},
      {"save image",
       [](Workbench& w, ScriptedDialogs& d) {
         d.answers = {"view"};
         w.Button10Click();
       }},
      {"print", [](Workbench& w, ScriptedDialogs&) { w.Button14Click(); }},
      {"save results",
       [](Workbench& w, ScriptedDialogs& d) {
         d.answers = {"results.txt"};
         w.Button12Click();
       }},
  };
  return commands;
}

// The difference image of the two sound scans: the standard's first 1079 bytes, then twice
// the reference byte less the standard byte, in 8 bits.
std::string soundDifference() {
  const std::string s = readFile(kSoundScan);
  const std::string r = readFile(kSoundScan2);
  std::string d = s.substr(0, 1079);
  for (std::size_t p = 1079; p < s.size(); ++p)
    d.push_back(static_cast<char>(
        2 * (static_cast<unsigned char>(r[p]) - static_cast<unsigned char>(s[p]))));
  return d;
}

// A printer that only counts pages; the bitmap it is asked to draw must be readable.
class PageCounter : public Printer {
 public:
  int pages = 0;
  void beginJob(const std::string&) override { pages = 1; }
  void newPage() override { ++pages; }
  void textOut(int, int, const std::string&) override {}
  int textHeight(const std::string&) override { return 50; }
  void drawBitmapFile(const std::string& path, int, int, int, int) override { readWholeFile(path); }
  void endJob() override {}
};

class BadInputWorkbench : public BadInputFolder {
 protected:
  ScriptedDialogs dialogs;
  PageCounter printer;
};

TEST_P(BadInputWorkbench, EveryCommandEndsCleanlyAndTheNextOneWorks) {
  Workbench wb(dialogs, &printer);
  ASSERT_TRUE(dialogs.errors.empty()) << dialogs.errors.front();
  // The load commands put the names into the fields as a user would pick them.
  dialogs.chosenFiles = {standardName(), referenceName(), thirdName()};
  wb.Button17Click();
  wb.Button18Click();
  wb.Button19Click();
  ASSERT_EQ(wb.Edit1, standardName());
  ASSERT_EQ(wb.Edit3, thirdName());
  const auto userFilesBefore = userFiles();

  for (const Command& command : everyCommand()) {
    SCOPED_TRACE(command.name);
    const std::vector<std::string> linesBefore = wb.Memo1.lines();
    const std::size_t errorsBefore = dialogs.errors.size();
    command.run(wb, dialogs);

    const auto& lines = wb.Memo1.lines();
    ASSERT_GE(lines.size(), linesBefore.size());
    EXPECT_TRUE(std::equal(linesBefore.begin(), linesBefore.end(), lines.begin()))
        << "a line appended before the command changed";
    ASSERT_LE(dialogs.errors.size(), errorsBefore + 1) << "one command, at most one message";
    if (dialogs.errors.size() > errorsBefore) {
      EXPECT_FALSE(dialogs.errors.back().empty());
    }
    EXPECT_EQ(userFiles(), userFilesBefore) << "a user's file changed";
  }

  // The window goes on: a command on sound scans completes and the results are saved whole.
  wb.Edit1 = kSoundScan;
  wb.Edit2 = kSoundScan2;
  const std::size_t errorsBefore = dialogs.errors.size();
  wb.Button7Click();
  dialogs.answers = {"after.txt"};
  wb.Button12Click();
  EXPECT_EQ(dialogs.errors.size(), errorsBefore) << dialogs.errors.back();
  EXPECT_EQ(readFile("diffbmp.bmp"), soundDifference());
  EXPECT_EQ(crlfLines(readFile("after.txt")).front(), "Results Area");
  EXPECT_EQ(readFile("after.txt").rfind(wb.Memo1.text(), 0), 0u);
}

INSTANTIATE_TEST_SUITE_P(Table, BadInputWorkbench, ::testing::ValuesIn(badInputs()),
                         [](const auto& info) { return testName(info.param); });

}  // namespace
}  // namespace pelk::test
