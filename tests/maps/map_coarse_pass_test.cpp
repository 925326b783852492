#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/io_error.h"
#include "maps/tform103.h"
#include "maps/tform1031.h"
#include "tests/maps/map_files.h"
#include "tests/support/files.h"
#include "tests/support/scratch_dir.h"

namespace pelk {
namespace {

using test::passBitmap;
using test::readFile;
using test::readMap;
using test::writeFile;

const std::string kFirstLine = "     100       5\r\n";

void writeJobs(const std::vector<std::pair<std::string, std::string>>& jobs, bool endEntry) {
  std::string text = "//comment\r\n";
  for (const auto& [bitmap, output] : jobs) text += "512;512;" + bitmap + ";p;s;" + output + "\r\n";
  if (endEntry) text += "9999;9999;\r\n";
  writeFile("vmap1.dat", text);
}

using CoarseRunTest = test::ScratchDirTest;

TEST_F(CoarseRunTest, WholeNumberBlocksRoundTiesToEvenAndKeepOnlyTheFirstHundredRows) {
  writeFile("n.bmp", passBitmap(512, 512, [](int, int) { return 1; }));
  writeFile("t.bmp", passBitmap(400, 400, [](int, int) { return 3; }));
  writeJobs({{"n.bmp", "n.map"}, {"t.bmp", "t.map"}}, true);
  TForm103 form;
  form.Button1Click();
  EXPECT_EQ(form.Memo1.lines,
            (std::vector<std::string>{"Memo1", "Processing File: n.bmp", "X size is 512",
                                      "Y Size is 512", "Processing File: t.bmp", "X size is 400",
                                      "Y Size is 400", "Done Processing"}));

  // 512 wide: s = 5; block 0 holds columns 0-2, block 1 columns 3-7, block 100 columns 498-502.
  const test::MapText n = readMap("n.map");
  ASSERT_EQ(n.lines.size(), 102u);
  EXPECT_EQ(n.lines[0] + "\r\n", kFirstLine);
  for (std::size_t i = 2; i < n.lines.size(); ++i) ASSERT_EQ(n.lines[i].size(), 808u);
  EXPECT_EQ(n.cells[1][0], 15);
  EXPECT_EQ(n.cells[1][1], 25);
  EXPECT_EQ(n.cells[1][100], 25);
  EXPECT_EQ(n.cells[99][99], 25);

  // 400 wide: s = 4, and 2/4 and 10/4 round down to the even block while 6/4 rounds up, so
  // blocks 0, 1 and 2 hold 3, 3 and 5 columns (and rows).
  const test::MapText t = readMap("t.map");
  EXPECT_EQ(t.cells[1][0], 27);
  EXPECT_EQ(t.cells[1][1], 27);
  EXPECT_EQ(t.cells[1][2], 45);
  EXPECT_EQ(t.cells[2][2], 75);
  // Line 2 holds the sum of the bytes read / 10000: 400 x 400 threes, less the eight size bytes
  // (0x0190 twice), which count as they are.
  EXPECT_EQ(t.lines[1], "Mean:       48.027");
}

TEST_F(CoarseRunTest, BlockSizeZeroAndBlocksPast256AreRefused) {
  writeFile("narrow.bmp", passBitmap(51, 60, [](int, int) { return 1; }));  // Round(0.5) = 0
  writeFile("tall.bmp", passBitmap(512, 1290, [](int, int) { return 1; }));
  writeFile("fits.bmp", passBitmap(512, 1282, [](int, int) { return 1; }));
  const std::pair<const char*, const char*> cases[] = {
      {"narrow.bmp", "Image too small for intensity maps: narrow.bmp"},
      {"tall.bmp", "Image too large for intensity maps: tall.bmp"}};
  for (const auto& [bitmap, message] : cases) {
    writeJobs({{bitmap, "out.map"}}, true);
    TForm1031 form;
    try {
      form.Button1Click();
      ADD_FAILURE() << bitmap;
    } catch (const IoError& e) {
      EXPECT_EQ(std::string(e.what()), message);
    }
    EXPECT_EQ(readFile("out.map"), kFirstLine);
  }
  // Row 1281 / 5 = 256.2 is the last block the grid holds.
  writeJobs({{"fits.bmp", "out.map"}}, false);
  TForm1031 form;
  form.Button1Click();
  EXPECT_EQ(form.Memo1.lines.back(), "Done");
  EXPECT_EQ(readMap("out.map").cells[99][100], 25);
}

TEST_F(CoarseRunTest, EmptyAndShortBitmaps) {
  writeFile("empty.bmp", passBitmap(
                             8, 8, [](int, int) { return 5; }, 0, 30));
  writeFile("short.bmp", passBitmap(512, 512, [](int, int) { return 5; }).substr(0, 9000));
  writeJobs({{"empty.bmp", "empty.map"}, {"short.bmp", "short.map"}}, true);
  TForm103 form;
  try {
    form.Button1Click();
    ADD_FAILURE();
  } catch (const IoError& e) {
    EXPECT_STREQ(e.what(), "Read beyond end of file: short.bmp");
  }
  const test::MapText empty = readMap("empty.map");
  EXPECT_EQ(empty.lines[1], "Mean:        0.000");
  EXPECT_EQ(empty.sum(), 0);
  EXPECT_EQ(readFile("short.map"), kFirstLine);
}

}  // namespace
}  // namespace pelk
