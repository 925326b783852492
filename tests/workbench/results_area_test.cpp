#include "workbench/results_area.h"

#include <gtest/gtest.h>

#include "common/io_error.h"
#include "tests/support/files.h"
#include "tests/support/scratch_dir.h"

namespace pelk {
namespace {

TEST(ResultsArea, StartsWithHeadingAndAnEmptyLine) {
  ResultsArea area;
  ASSERT_EQ(area.count(), 2u);
  EXPECT_EQ(area.line(0), "Results Area");
  EXPECT_EQ(area.line(1), "");
  EXPECT_EQ(area.text(), "Results Area\r\n\r\n");
}

TEST(ResultsArea, ModuleLogFollowsTheLastLineWithItsMemo1Line) {
  ResultsArea area;
  area.append(" ");
  ModuleLog log;
  log.add("X size is 512");
  log.addEmpty();
  area.appendModuleLog(log);
  std::vector<std::string> expected{"Results Area", "", " ", "Memo1", "X size is 512", ""};
  EXPECT_EQ(area.lines(), expected);
}

using ResultsAreaFile = test::ScratchDirTest;

TEST_F(ResultsAreaFile, SavedTextEndsWithOneMoreLineEnd) {
  ResultsArea area;
  area.append("Ready");
  area.append(" ");
  area.saveTo("out.txt");
  EXPECT_EQ(test::readFile("out.txt"), "Results Area\r\n\r\nReady\r\n \r\n\r\n");
}

TEST_F(ResultsAreaFile, SaveReplacesAnExistingFile) {
  test::writeFile("out.txt", std::string(5000, 'x'));
  ResultsArea area;
  area.saveTo("out.txt");
  EXPECT_EQ(test::readFile("out.txt"), "Results Area\r\n\r\n\r\n");
}

TEST_F(ResultsAreaFile, UncreatableFileIsAnIoError) {
  ResultsArea area;
  EXPECT_THROW(area.saveTo("no-such-folder/out.txt"), IoError);
}

}  // namespace
}  // namespace pelk
