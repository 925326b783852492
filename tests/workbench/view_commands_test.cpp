#include <filesystem>

#include <gtest/gtest.h>

#include "tests/support/files.h"
#include "tests/workbench/workbench_fixture.h"

namespace pelk::test {
namespace {

using StartUp = ScratchDirTest;

TEST_F(StartUp, DrawsTest101WithHiddenTestButtonsAndBlankTestInfo) {
  writeSampleScans();
  ScriptedDialogs dialogs;
  Workbench wb(dialogs);
  EXPECT_TRUE(dialogs.errors.empty());
  EXPECT_EQ(wb.Image1.pixels(), viewOf("test101.bmp"));
  EXPECT_EQ(wb.Edit1, "Edit1");
  EXPECT_EQ(wb.Edit2, "Edit2");
  EXPECT_EQ(wb.Edit3, "Edit3");
  EXPECT_EQ(wb.RadioGroup1, -1);
  EXPECT_EQ(wb.Memo1.lines(), (std::vector<std::string>{"Results Area", ""}));
  EXPECT_EQ(wb.TestInfo.patient, "*****");
  EXPECT_EQ(wb.TestInfo.date, "*****");
  EXPECT_FALSE(wb.Button9Visible);
  EXPECT_FALSE(wb.Button15Visible);
}

TEST_F(StartUp, MissingTest101IsShownAndTheWindowStillWorks) {
  ScriptedDialogs dialogs;
  Workbench wb(dialogs);
  ASSERT_EQ(dialogs.errors.size(), 1u);
  EXPECT_EQ(dialogs.errors[0], "File not found: test101.bmp");
  EXPECT_EQ(wb.Image1.pixels(), Picture().pixels());  // blank
  EXPECT_EQ(wb.ViewCaption, "Scan test101.bmp");
  wb.Button2Click();
  EXPECT_EQ(wb.Memo1.lines(), (std::vector<std::string>{"Results Area", "", "No Filename selected",
                                                        " ", "Ready", " "}));
  EXPECT_EQ(dialogs.errors.size(), 1u);
}

using ViewCommands = WorkbenchTest;

TEST_F(ViewCommands, PlotWithNoItemSelectedLeavesTheView) {
  auto before = wb->Image1.pixels();
  wb->Button2Click();
  EXPECT_EQ(linesSince(2), (std::vector<std::string>{"No Filename selected", " ", "Ready", " "}));
  EXPECT_EQ(wb->Image1.pixels(), before);
}

TEST_F(ViewCommands, PlotShowsTheSelectedImage) {
  wb->RadioGroup1 = 1;
  wb->Button2Click();
  EXPECT_EQ(linesSince(2),
            (std::vector<std::string>{"Loading Fiename:reference.bmp", " ", "Ready", " "}));
  EXPECT_EQ(wb->Image1.pixels(), viewOf("reference.bmp"));
  wb->RadioGroup1 = 0;
  wb->Button2Click();
  EXPECT_EQ(wb->Image1.pixels(), viewOf("standard.bmp"));
}

TEST_F(ViewCommands, PlotOfAMissingFileStopsBeforeReady) {
  wb->RadioGroup1 = 0;
  wb->Edit1 = "missing.bmp";
  wb->Button2Click();
  EXPECT_EQ(linesSince(2), (std::vector<std::string>{"Loading Fiename:missing.bmp"}));
  ASSERT_EQ(dialogs.errors.size(), 1u);
  // The window goes on: the next command runs in full.
  wb->RadioGroup1 = -1;
  wb->Button2Click();
  EXPECT_EQ(wb->Memo1.lines().back(), " ");
  EXPECT_EQ(wb->Memo1.lines()[wb->Memo1.count() - 2], "Ready");
}

TEST_F(ViewCommands, LoadTakesTheChosenPathOrAsksAndIgnoresTheAnswer) {
  dialogs.chosenFiles.push_back(std::string("/scans/a.bmp"));
  wb->Button17Click();
  EXPECT_EQ(wb->Edit1, "/scans/a.bmp");
  dialogs.answers.push_back("typed.bmp");
  wb->Button18Click();  // cancelled
  EXPECT_EQ(wb->Edit2, "reference.bmp");
  dialogs.chosenFiles.push_back(std::string("/scans/c.bmp"));
  wb->Button19Click();
  EXPECT_EQ(wb->Edit3, "/scans/c.bmp");
  EXPECT_EQ(dialogs.fileFilters, std::vector<std::string>(3, "PELK40 Files(*.bmp)|*.bmp"));
  EXPECT_EQ(dialogs.inputBoxes, std::vector<std::string>{"Please Select a File||"});
  EXPECT_EQ(wb->Memo1.count(), 2u);
}

TEST_F(ViewCommands, SaveImageAddsBmpToTheTypedName) {
  dialogs.answers.push_back("shot");
  wb->Button10Click();
  EXPECT_EQ(dialogs.inputBoxes, std::vector<std::string>{"Enter File Name|result001|"});
  std::string bytes = readFile("shot.bmp");
  ASSERT_GT(bytes.size(), 54u);
  EXPECT_EQ(bytes.substr(0, 2), "BM");
  EXPECT_EQ(bytes[28], 24);
  wb->Button10Click();  // cancelled: the name is ".bmp"
  EXPECT_TRUE(fileExists(".bmp"));
  EXPECT_EQ(wb->Memo1.count(), 2u);
}

TEST_F(ViewCommands, EnterTestInfoAsksInItsOwnOrder) {
  dialogs.answers = {"Ann Smith", "H-7", "T-42"};  // the date box is cancelled
  wb->Button11Click();
  std::vector<std::string> boxes{"Enter Patients Name||", "Enter Hospital Id||",
                                 "Enter Treatment Id||", "Enter Treatment Date||"};
  EXPECT_EQ(dialogs.inputBoxes, boxes);
  EXPECT_EQ(wb->TestInfo.patient, "Ann Smith");
  EXPECT_EQ(wb->TestInfo.hospital, "H-7");
  EXPECT_EQ(wb->TestInfo.test, "T-42");
  EXPECT_EQ(wb->TestInfo.date, "");
  EXPECT_EQ(wb->Memo1.count(), 2u);
}

TEST_F(ViewCommands, SaveResultFileWritesCrLfLinesAndAFinalEmptyLine) {
  wb->Button2Click();
  dialogs.answers.push_back("result.txt");
  wb->Button12Click();
  EXPECT_EQ(dialogs.inputBoxes,
            std::vector<std::string>{"Enter File Name for Result|i.e. Result.txt|"});
  EXPECT_EQ(readFile("result.txt"),
            "Results Area\r\n\r\nNo Filename selected\r\n \r\nReady\r\n \r\n\r\n");
  EXPECT_EQ(wb->Memo1.count(), 6u);
}

TEST_F(ViewCommands, SaveResultFileWithoutANameWritesNothing) {
  wb->Button12Click();  // cancelled
  EXPECT_EQ(dialogs.messages, std::vector<std::string>{"No file name given"});
  EXPECT_TRUE(dialogs.errors.empty());
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."),
                          std::filesystem::directory_iterator()),
            4);
  EXPECT_EQ(wb->Memo1.count(), 2u);
}

TEST_F(ViewCommands, SaveResultFileThatCannotBeCreatedIsAnError) {
  dialogs.answers.push_back("no-such-folder/result.txt");
  wb->Button12Click();
  EXPECT_EQ(dialogs.errors.size(), 1u);
  EXPECT_EQ(wb->Memo1.count(), 2u);
}

TEST_F(ViewCommands, PrintGivesAHeadingPageThenPagesOf55Lines) {
  while (wb->Memo1.count() < 120) wb->Memo1.append("line " + std::to_string(wb->Memo1.count()));
  wb->Button14Click();
  EXPECT_TRUE(dialogs.errors.empty());
  ASSERT_EQ(printer.pages.size(), 4u);
  EXPECT_EQ(printer.pages[1].texts.size(), 55u);
  EXPECT_EQ(printer.pages[2].texts.size(), 55u);
  EXPECT_EQ(printer.pages[3].texts.size(), 10u);
  EXPECT_EQ(printer.pages[1].texts[0], "100,100:Results Area");
  EXPECT_EQ(printer.pages[3].texts[9], "100,550:line 119");
  std::string bitmap = readFile("testPrint1.bmp");
  ASSERT_GT(bitmap.size(), 54u);
  EXPECT_EQ(bitmap[28], 24);
  EXPECT_EQ(printer.calls.back(), "end");
}

TEST_F(ViewCommands, PrintWithoutAPrinterIsReported) {
  Workbench headless(dialogs);
  headless.Button14Click();
  EXPECT_EQ(dialogs.errors, std::vector<std::string>{"No printer available"});
}

TEST_F(ViewCommands, TesAddsNothingAndExitEndsTheWindow) {
  wb->Button9Click();
  EXPECT_EQ(wb->Memo1.count(), 2u);
  EXPECT_FALSE(wb->exitRequested());
  wb->Button1Click();
  EXPECT_TRUE(wb->exitRequested());
}

}  // namespace
}  // namespace pelk::test
