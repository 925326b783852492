#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/io_error.h"
#include "profiles/tform102.h"
#include "tests/support/files.h"
#include "tests/support/scratch_dir.h"

namespace pelk {
namespace {

using test::readFile;

class SifterTest : public test::ScratchDirTest {
 protected:
  TForm102 form;

  // The log lines the sifter appended.
  std::vector<std::string> run(const std::string& a, const std::string& b) {
    test::writeFile("a.txt", a);
    test::writeFile("b.txt", b);
    form.patientMriFile = "a.txt";
    form.baselineFile = "b.txt";
    const std::size_t before = form.Memo1.lines.size();
    form.Button6Click();
    return {form.Memo1.lines.begin() + static_cast<std::ptrdiff_t>(before), form.Memo1.lines.end()};
  }
};

TEST_F(SifterTest, IdenticalFilesDifferNowhere) {
  EXPECT_EQ(
      run("one\r\ntwo\r\nthree", "one\r\ntwo\r\nthree\r\n"),
      (std::vector<std::string>{"0 Different record(s) were found", "3 Record(s) were read"}));
  EXPECT_EQ(readFile("sifter.db.txt"), "");
}

TEST_F(SifterTest, EmptyBaselineMatchesOnlyEmptyLines) {
  EXPECT_EQ(run("x\r\n\r\nY \r\n", ""),
            (std::vector<std::string>{"x", "Y ", "2 Different record(s) were found",
                                      "3 Record(s) were read"}));
  EXPECT_EQ(readFile("sifter.db.txt"), "x\r\nY \r\n");
}

TEST_F(SifterTest, BaselineAdvancesOnlyOnAMatch) {
  EXPECT_EQ(
      run("x\r\ny\r\nz\r\n", "x\r\nz\r\n"),
      (std::vector<std::string>{"y", "1 Different record(s) were found", "3 Record(s) were read"}));
  EXPECT_EQ(readFile("sifter.db.txt"), "y\r\n");
  // Case and blanks count; once B falls behind it stays behind.
  EXPECT_EQ(run("a\r\nb\r\nc\r\n", "B\r\na\r\nb\r\n").front(), "a");
  EXPECT_EQ(readFile("sifter.db.txt"), "a\r\nb\r\nc\r\n");
}

TEST_F(SifterTest, MissingFileCreatesNoOutput) {
  test::writeFile("a.txt", "x\r\n");
  form.patientMriFile = "a.txt";
  form.baselineFile = "nowhere.txt";
  EXPECT_THROW(form.Button6Click(), IoError);
  EXPECT_FALSE(test::fileExists("sifter.db.txt"));
}

}  // namespace
}  // namespace pelk
