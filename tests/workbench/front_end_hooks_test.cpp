// What the workbench offers a front end that a person drives: a cancelled command, and the
// robust analysis pointing to the study comparison when its slices look like different anatomy.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "tests/workbench/workbench_fixture.h"
#include "tools/synthetic_head.h"

namespace pelk::test {
namespace {

constexpr const char* kSuggestion =
    "Many new lesions between slices that differ: compare whole volumes with"
    " Scans -> Compare studies...";

// The sample head moved right by `shift` pixels, with `blobs` bright round lesions added.
void writeFollowUp(const std::string& path, int shift, int blobs) {
  const std::vector<std::uint8_t> head = syntheticHead(7, std::nullopt);
  std::vector<std::uint8_t> moved(head.size(), 0);
  for (int y = 0; y < kSampleSize; ++y)
    for (int x = shift; x < kSampleSize; ++x)
      moved[y * kSampleSize + x] = head[y * kSampleSize + x - shift];
  for (int b = 0; b < blobs; ++b) {
    const int cx = 190 + 60 * b, cy = 230 + 25 * (b % 2);
    for (int y = cy - 7; y <= cy + 7; ++y)
      for (int x = cx - 7; x <= cx + 7; ++x)
        if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= 49)
          moved[y * kSampleSize + x] =
              static_cast<std::uint8_t>(std::min(255, moved[y * kSampleSize + x] + 90));
  }
  std::ofstream(path, std::ios::binary) << grayBmpBytes(kSampleSize, kSampleSize, moved);
}

class FrontEndHooks : public WorkbenchTest {};

TEST_F(FrontEndHooks, ACancelledCommandKeepsItsLinesAndSaysSoWithoutAnErrorBox) {
  const std::size_t before = wb->Memo1.count();
  wb->control().requestCancel();
  wb->Button3Click();
  EXPECT_EQ(linesSince(before), std::vector<std::string>{"Cancelled by the user"});
  EXPECT_TRUE(dialogs.errors.empty());
}

struct SuggestionCase {
  const char* name;
  bool interactive;
  int shift;
  int blobs;
  bool suggested;
};

class StudySuggestion : public FrontEndHooks, public testing::WithParamInterface<SuggestionCase> {};

TEST_P(StudySuggestion, AppearsOnlyInTheWindowForManyNewLesionsOnWarnedSlices) {
  const SuggestionCase& c = GetParam();
  writeFollowUp("base.bmp", 0, 0);
  writeFollowUp("first.bmp", 0, 0);
  writeFollowUp("second.bmp", c.shift, c.blobs);
  wb->Edit1 = "base.bmp";
  wb->Edit2 = "first.bmp";
  wb->Edit3 = "second.bmp";
  wb->setInteractive(c.interactive);
  wb->RobustTpaClick();
  ASSERT_TRUE(dialogs.errors.empty()) << dialogs.errors.front();
  const auto& lines = wb->Memo1.lines();
  EXPECT_EQ(std::find(lines.begin(), lines.end(), kSuggestion) != lines.end(), c.suggested);
}

INSTANTIATE_TEST_SUITE_P(Cases, StudySuggestion,
                         testing::Values(SuggestionCase{"window_moved_many", true, 3, 4, true},
                                         SuggestionCase{"command_line", false, 3, 4, false},
                                         SuggestionCase{"aligned_slices", true, 0, 4, false},
                                         SuggestionCase{"one_new_lesion", true, 3, 1, false}),
                         [](const testing::TestParamInfo<SuggestionCase>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace pelk::test
