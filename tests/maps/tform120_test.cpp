#include "maps/tform120.h"

#include <string>

#include <gtest/gtest.h>

#include "common/io_error.h"
#include "tests/support/files.h"
#include "tests/support/scratch_dir.h"

namespace pelk {
namespace {

using test::readFile;
using test::writeFile;

// Bytes 0..n-1 with a recognisable pattern, so a copied prefix can be told apart.
std::string pattern(std::size_t n, int seed) {
  std::string s(n, '\0');
  for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<char>((i * 7 + seed) & 0xFF);
  return s;
}

class DiffImageTest : public test::ScratchDirTest {
 protected:
  TForm120 form;

  void run(const std::string& standard, const std::string& reference) {
    writeFile("std.bmp", standard);
    writeFile("ref.bmp", reference);
    form.setFileNames("std.bmp", "ref.bmp");
    form.doDiffBmp();
  }
  std::string failure(const std::string& standard, const std::string& reference) {
    try {
      run(standard, reference);
    } catch (const IoError& e) {
      return e.what();
    }
    return "no error";
  }
};

TEST_F(DiffImageTest, CopiesTheFirst1079BytesThenDoublesTheDifference) {
  std::string standard = pattern(1079, 1) + std::string{10, 15, 0, 64, 100, 3};
  std::string reference = pattern(1079, 99) + std::string{15, 10, 64, 0, 100, 3};
  standard.append(1, static_cast<char>(200));
  reference.append(1, static_cast<char>(72));  // r - s = -128 gives 0
  run(standard, reference);
  std::string expected =
      pattern(1079, 1) +
      std::string{10, static_cast<char>(246), static_cast<char>(128), static_cast<char>(128), 0, 0,
                  0};
  EXPECT_EQ(readFile("diffbmp.bmp"), expected);
  EXPECT_EQ(form.Memo1.lines.back(), "Program Done");
}

TEST_F(DiffImageTest, IdenticalInputsGiveBlackPixelsAndRepeatExactly) {
  const std::string image = test::bmpBytes(8, 8, [](int r, int c) { return r * 16 + c; });
  run(image, image);
  const std::string first = readFile("diffbmp.bmp");
  EXPECT_EQ(first, image.substr(0, 1079) + std::string(image.size() - 1079, '\0'));
  EXPECT_EQ(first[1078], image[1078]);  // the first pixel is copied, not differenced
  run(image, image);
  EXPECT_EQ(readFile("diffbmp.bmp"), first);
}

TEST_F(DiffImageTest, LongerReferenceIsReadOnlyAsFarAsTheStandard) {
  run(pattern(1085, 3), pattern(1200, 3));
  EXPECT_EQ(readFile("diffbmp.bmp"), pattern(1079, 3) + std::string(6, '\0'));
}

TEST_F(DiffImageTest, ShortReferenceFailsAtItsEndAndKeepsTheBytesWritten) {
  EXPECT_EQ(failure(pattern(1100, 1), pattern(1090, 1)), "Read beyond end of file: ref.bmp");
  EXPECT_EQ(readFile("diffbmp.bmp"), pattern(1079, 1) + std::string(11, '\0'));
  EXPECT_EQ(form.Memo1.lines.size(), 1u);  // no "Program Done"

  // Inside the copied header the standard byte is written before the reference byte fails.
  EXPECT_EQ(failure(pattern(1100, 1), pattern(500, 1)), "Read beyond end of file: ref.bmp");
  EXPECT_EQ(readFile("diffbmp.bmp"), pattern(501, 1));
  EXPECT_EQ(failure(pattern(1100, 1), ""), "Read beyond end of file: ref.bmp");
  EXPECT_EQ(readFile("diffbmp.bmp"), pattern(1, 1));
}

TEST_F(DiffImageTest, StandardShorterThanTheHeaderFailsOnTheStandard) {
  EXPECT_EQ(failure(pattern(700, 1), pattern(2000, 1)), "Read beyond end of file: std.bmp");
  EXPECT_EQ(readFile("diffbmp.bmp"), pattern(700, 1));
  // Equal lengths: the standard's read comes first at the failing position.
  EXPECT_EQ(failure(pattern(700, 1), pattern(700, 1)), "Read beyond end of file: std.bmp");
  EXPECT_EQ(readFile("diffbmp.bmp"), pattern(700, 1));
  EXPECT_EQ(failure(pattern(1078, 1), pattern(1079, 1)), "Read beyond end of file: std.bmp");
  EXPECT_EQ(readFile("diffbmp.bmp"), pattern(1078, 1));
}

TEST_F(DiffImageTest, MissingInputCreatesNoOutput) {
  writeFile("std.bmp", pattern(1100, 1));
  form.setFileNames("std.bmp", "absent.bmp");
  EXPECT_THROW(form.doDiffBmp(), IoError);
  EXPECT_FALSE(test::fileExists("diffbmp.bmp"));
}

TEST_F(DiffImageTest, ButtonUsesTheFormFieldsNotTheStoredNames) {
  writeFile("a.bmp", pattern(1080, 1) + std::string(1, 10));
  writeFile("b.bmp", pattern(1080, 1) + std::string(1, 15));
  form.setFileNames("missing.bmp", "missing.bmp");
  form.compareFile = "a.bmp";
  form.referenceFile = "b.bmp";
  form.Button1Click();
  EXPECT_EQ(readFile("diffbmp.bmp"), (pattern(1079, 1) + std::string{0, 10}));
  EXPECT_EQ(form.Memo1.lines.back(), "Program Done");
}

}  // namespace
}  // namespace pelk
