#include <memory>

#include <gtest/gtest.h>

#include "common/io_error.h"
#include "common/picture.h"
#include "maps/tform104.h"
#include "tests/maps/mchs_maps.h"
#include "tests/support/files.h"
#include "tests/support/scratch_dir.h"

namespace pelk {
namespace {

using test::mapRowOf;

constexpr std::uint32_t kWhite = 0xFFFFFF;

class FalseColor : public test::ScratchDirTest {
 protected:
  void run() { paintFalseColor(*module, view, "setup101.map", "setup102b.map"); }
  int count(std::uint32_t colour) const {
    int n = 0;
    for (std::uint32_t c : view.pixels()) n += c == colour;
    return n;
  }

  std::unique_ptr<TForm104> module = std::make_unique<TForm104>();
  Picture view;
};

TEST_F(FalseColor, EveryBlockInsideThePictureGetsOnePixelWhateverItsScore) {
  test::writeMap("setup101.map", [](int row, int col) { return row * 3 + col + 1; });
  test::writeMap("setup102b.map", [](int row, int col) { return row * 3 + col + 1; });
  run();
  // Columns 7..100 land at x = 1..360 (column 0 at -25), rows n = 0..99 at y = 0..325.
  EXPECT_EQ(count(0), 94 * 100);
  EXPECT_EQ(count(kWhite), 385 * 329 - 94 * 100);
  EXPECT_EQ(view.pixel(360, 3), 0u);
  EXPECT_EQ(view.pixel(1, 0), 0u);
  EXPECT_EQ(view.pixel(361, 3), kWhite);
  EXPECT_EQ(module->pointCount, 0);
  EXPECT_EQ(test::readFile("mchs-results.dat"),
            "=== MCHS RESULTS ===\r\n\r\n   Idx     X     Y Value   Xb   Yb\r\n\r\n");
  EXPECT_EQ(module->threshold(), 50.0);  // no highlights drawn, so the threshold stays
}

TEST_F(FalseColor, BlocksScoring50OrMoreAreListedWithoutRectangles) {
  test::writeMap("setup101.map",
                 [](int row, int col) { return row == mapRowOf(2) && col == 50 ? 0 : 100; });
  test::writeMap("setup102b.map", [](int row, int col) -> long long {
    if (row == mapRowOf(1) && col == 100) return 171;  // (360, 3): 50.41
    if (row == mapRowOf(2) && col == 50) return 1;     // (167, 6): 1000 against a = 0
    return 100;
  });
  run();
  EXPECT_EQ(view.pixel(360, 3), 50u);
  EXPECT_EQ(view.pixel(167, 6), 1000u);
  EXPECT_EQ(view.pixel(361, 4), kWhite);
  const std::vector<std::string> lines = test::crlfLines(test::readFile("mchs-results.dat"));
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[4], "     1   167     6 1000.000   208   243");
  EXPECT_EQ(lines[5], "     2   360     3   50.410   108   245");
  EXPECT_EQ(module->Memo1.lines[6], lines[4]);
}

TEST_F(FalseColor, NegativeScoresGetTheLow24BitsOfTheirTwosComplement) {
  test::writeMap("setup101.map",
                 [](int row, int col) { return row == mapRowOf(1) && col == 100 ? -100 : 5; });
  test::writeMap("setup102b.map", [](int, int) { return 5; });
  run();
  EXPECT_EQ(view.pixel(360, 3), 0xFFFF92u);  // (-105)^2 / -100 = -110.25, Trunc -110
  EXPECT_EQ(module->pointCount, 0);
}

TEST_F(FalseColor, AMapEndingBeforeItsLastBlockIsAnErrorThatKeepsThePixelsDrawn) {
  test::writeMap("setup101.map", [](int, int) { return 9; });
  std::string full = test::mapText([](int, int) { return "9"; });
  // The heading lines, block row 0 and block rows 1..40 (n = 100 down to 61).
  std::size_t cut = 0;
  for (int line = 0; line < 2 + 1 + 40; ++line) cut = full.find("\r\n", cut) + 2;
  test::writeFile("setup102b.map", full.substr(0, cut));
  try {
    run();
    FAIL() << "no error";
  } catch (const IoError& e) {
    EXPECT_EQ(std::string(e.what()), "Read beyond end of file: setup102b.map");
  }
  EXPECT_EQ(view.pixel(360, 200), 0u);      // n = 61
  EXPECT_EQ(view.pixel(360, 197), kWhite);  // n = 60
  EXPECT_FALSE(test::fileExists("mchs-results.dat"));
}

TEST_F(FalseColor, MissingOrNonNumericMapsAreErrors) {
  test::writeMap("setup101.map", [](int, int) { return 9; });
  EXPECT_THROW(run(), IoError);
  test::writeFile("setup102b.map", test::mapText([](int row, int col) -> std::string {
                    return row == 30 && col == 4 ? "nine" : "9";
                  }));
  EXPECT_THROW(run(), IoError);
  EXPECT_FALSE(test::fileExists("mchs-results.dat"));
}

}  // namespace
}  // namespace pelk
