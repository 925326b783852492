#include "workbench/print_report.h"

#include <gtest/gtest.h>

#include "common/io_error.h"
#include "tests/workbench/recording_printer.h"

namespace pelk::test {

void RecordingPrinter::drawBitmapFile(const std::string& path, int left, int top, int right,
                                      int bottom) {
  if (failBitmap) throw IoError("File not found: " + path);
  pages.back().bitmaps.push_back(path + " " + std::to_string(left) + "," + std::to_string(top) +
                                 "," + std::to_string(right) + "," + std::to_string(bottom));
}

namespace {

std::vector<std::string> numberedLines(int count) {
  std::vector<std::string> lines;
  for (int i = 0; i < count; ++i) lines.push_back("line " + std::to_string(i));
  return lines;
}

TEST(PrintReport, HeadingPageThenFiftyFiveLinesAPage) {
  RecordingPrinter printer;
  std::vector<std::string> saved;
  printReport(
      printer, [&](const std::string& path) { saved.push_back(path); }, numberedLines(120));

  EXPECT_EQ(saved, std::vector<std::string>{"testPrint1.bmp"});
  std::vector<std::string> calls{"begin PELK 40 Report", "page", "page", "page", "end"};
  EXPECT_EQ(printer.calls, calls);
  ASSERT_EQ(printer.pages.size(), 4u);
  EXPECT_EQ(printer.pages[0].texts,
            std::vector<std::string>{"1000,200:Tolvar PELK 40 Results - Page 1 "});
  EXPECT_EQ(printer.pages[0].bitmaps,
            std::vector<std::string>{"testPrint1.bmp 1000,1000,10000,10000"});
  EXPECT_EQ(printer.pages[1].texts.size(), 55u);
  EXPECT_EQ(printer.pages[2].texts.size(), 55u);
  EXPECT_EQ(printer.pages[3].texts.size(), 10u);
  EXPECT_EQ(printer.pages[1].texts.front(), "100,100:line 0");
  EXPECT_EQ(printer.pages[1].texts.back(), "100,2800:line 54");
  EXPECT_EQ(printer.pages[2].texts.front(), "100,100:line 55");
  EXPECT_EQ(printer.pages[3].texts.back(), "100,550:line 119");
}

TEST(PrintReport, FullLastPageStartsNoEmptyOne) {
  RecordingPrinter printer;
  printReport(
      printer, [](const std::string&) {}, numberedLines(110));
  EXPECT_EQ(printer.pages.size(), 3u);
}

TEST(PrintReport, EmptyResultsStillGiveTheResultsPage) {
  RecordingPrinter printer;
  printReport(printer, [](const std::string&) {}, {});
  ASSERT_EQ(printer.pages.size(), 2u);
  EXPECT_TRUE(printer.pages[1].texts.empty());
}

TEST(PrintReport, FailureEndsTheJobAndIsPassedOn) {
  RecordingPrinter printer;
  printer.failBitmap = true;
  EXPECT_THROW(printReport(
                   printer, [](const std::string&) {}, numberedLines(3)),
               IoError);
  std::vector<std::string> calls{"begin PELK 40 Report", "end"};
  EXPECT_EQ(printer.calls, calls);
}

}  // namespace
}  // namespace pelk::test
