// "Compare studies…" as the workbench runs it: the study written beside the baseline, the matched
// slices in the fields, the study picture in the view and the account in the results area.
#include <filesystem>

#include <gtest/gtest.h>

#include "common/io_error.h"
#include "tests/support/files.h"
#include "tests/workbench/study_triple.h"
#include "tests/workbench/workbench_fixture.h"
#include "workbench/colour_bitmap.h"

namespace pelk::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> lfLines(const std::string& text) {
  std::vector<std::string> lines;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = text.find('\n', start);
    lines.push_back(text.substr(start, end - start));
    start = end == std::string::npos ? text.size() : end + 1;
  }
  return lines;
}

class CompareStudies : public WorkbenchTest {};

TEST_F(CompareStudies, FillsTheFieldsShowsThePictureAndAppendsTheAccount) {
  writeStudyTriple();
  struct Case {
    std::vector<std::string> followUps;
    const char* third;  // the third field afterwards
    int stages;
  };
  const Case cases[] = {
      {{"f1.nii.gz"}, "third.bmp", 5},
      {{"f1.nii.gz", "f2.nii.gz"}, "base-study/third.bmp", 8},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.followUps.size());
    wb = startWorkbench();
    const std::size_t before = wb->Memo1.count();
    wb->CompareStudiesClick("base.nii.gz", c.followUps);
    ASSERT_TRUE(dialogs.errors.empty()) << dialogs.errors.front();

    EXPECT_EQ(wb->Edit1, "base-study/std.bmp");
    EXPECT_EQ(wb->Edit2, "base-study/ref.bmp");
    EXPECT_EQ(wb->Edit3, c.third);
    EXPECT_EQ(fileExists("base-study/third.bmp"), c.followUps.size() == 2);
    EXPECT_EQ(wb->ViewShows, ViewContent::StudyComparison);
    EXPECT_EQ(wb->ViewCaption, "Study comparison base-study/study.bmp");
    Picture expected;
    drawFitted(readColourBitmap("base-study/study.bmp"), expected);
    EXPECT_EQ(wb->Image1.pixels(), expected.pixels());
    EXPECT_EQ(wb->control().done(), c.stages);
    EXPECT_EQ(wb->control().total(), c.stages);

    std::vector<std::string> section = concat({{"Results of Study Comparison"},
                                               lfLines(readFile("base-study/study.txt")),
                                               {"Files written to base-study", " ", "Ready", " "}});
    EXPECT_EQ(linesSince(before), section);
    fs::remove_all("base-study");
  }
}

TEST_F(CompareStudies, AStudyThatEndsEarlyWritesNothingAndLeavesTheFields) {
  writeStudyTriple();
  struct Case {
    bool cancel;
    const char* followUp;
    std::vector<std::string> errors;  // shown in the error box
    std::vector<std::string> lines;   // appended
  };
  const Case cases[] = {
      {true, "f1.nii.gz", {}, {"Cancelled by the user"}},
      {false, "gone.nii.gz", {"File not found: gone.nii.gz"}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.followUp);
    wb = startWorkbench();
    dialogs.errors.clear();
    const std::size_t before = wb->Memo1.count();
    if (c.cancel) wb->control().requestCancel();
    wb->CompareStudiesClick("base.nii.gz", {c.followUp});
    EXPECT_FALSE(fs::exists("base-study"));
    EXPECT_EQ(wb->Edit1, "standard.bmp");
    EXPECT_EQ(wb->Edit2, "reference.bmp");
    EXPECT_NE(wb->ViewShows, ViewContent::StudyComparison);
    EXPECT_EQ(dialogs.errors, c.errors);
    EXPECT_EQ(linesSince(before), c.lines);
  }
}

TEST_F(CompareStudies, TheFolderIsNamedAfterTheBaselineBesideIt) {
  fs::create_directories("series.T1");
  const struct {
    const char* baseline;
    const char* folder;
  } cases[] = {
      {"/scans/head.nii.gz", "/scans/head-study"},
      {"/scans/Head.T1.NII.GZ", "/scans/Head.T1-study"},
      {"/scans/IM0001.dcm", "/scans/IM0001-study"},
      {"/scans/IM7", "/scans/IM7-study"},
      {"visit1.nii", "visit1-study"},
      {"series.T1", "series.T1-study"},
      {"series.T1/", "series.T1-study"},
  };
  for (const auto& c : cases) EXPECT_EQ(studyFolderFor(c.baseline), c.folder) << c.baseline;
}

TEST_F(CompareStudies, TheViewReadsTheColourBitmapWholeOrNotAtAll) {
  Picture picture(3, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) picture.setPixel(x, y, 0x102030u * (x + 1) + 0x50u * y);
  picture.saveBmp("colour.bmp");
  EXPECT_EQ(readColourBitmap("colour.bmp").pixels(), picture.pixels());

  const std::string whole = readFile("colour.bmp");
  const struct {
    const char* name;
    std::string bytes;
  } damaged[] = {
      {"cut short", whole.substr(0, whole.size() - 4)},
      {"grey", readFile("standard.bmp")},
      {"not a bitmap", "GIF89a" + whole.substr(6)},
  };
  for (const auto& d : damaged) {
    writeFile("damaged.bmp", d.bytes);
    EXPECT_THROW(readColourBitmap("damaged.bmp"), IoError) << d.name;
  }
}

}  // namespace
}  // namespace pelk::test
