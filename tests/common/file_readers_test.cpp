#include <csignal>
#include <string>
#include <sys/resource.h>

#include <gtest/gtest.h>

#include "common/bmp_header.h"
#include "common/file_io.h"
#include "common/io_error.h"
#include "common/job_list.h"
#include "common/text_reader.h"
#include "tests/support/files.h"
#include "tests/support/scratch_dir.h"

namespace pelk {
namespace {

using test::crlfLines;
using test::readFile;
using test::writeFile;

class FileReaders : public test::ScratchDirTest {};

TEST(TextReaderRules, NumbersAreTokensAndMissingValuesReadZero) {
  TextReader in("  12\r\n -3 \t7\r\n", "t");
  EXPECT_EQ(in.readInt(), 12);
  EXPECT_EQ(in.readInt(), -3);
  EXPECT_EQ(in.readInt(), 7);
  EXPECT_EQ(in.readInt(), 0);
  EXPECT_EQ(in.readReal(), 0.0);
}

TEST(TextReaderRules, NonNumericTokensAreInvalidNumericInput) {
  TextReader words("12 abc", "words.txt");
  EXPECT_EQ(words.readInt(), 12);
  EXPECT_THROW(
      {
        try {
          words.readInt();
        } catch (const IoError& e) {
          EXPECT_STREQ(e.what(), "Invalid numeric input: words.txt");
          throw;
        }
      },
      IoError);
  TextReader glued("12abc", "g");
  EXPECT_THROW(glued.readInt(), IoError);
  TextReader huge("99999999999", "h");
  EXPECT_THROW(huge.readInt(), IoError);
  TextReader notReal("nan", "n");
  EXPECT_THROW(notReal.readReal(), IoError);
  TextReader real("  180.500 -1.5e2", "r");
  EXPECT_DOUBLE_EQ(real.readReal(), 180.5);
  EXPECT_DOUBLE_EQ(real.readReal(), -150.0);
}

TEST(TextReaderRules, LinesEndAtCrLfLfOrCr) {
  TextReader in("a b\r\nsecond\nthird\rfourth", "t");
  in.skipLine();
  EXPECT_EQ(in.readLine(), "second");
  EXPECT_EQ(in.readLine(), "third");
  EXPECT_EQ(in.readLine(), "fourth");
  EXPECT_TRUE(in.eof());
  EXPECT_EQ(in.readLine(), "");
}

TEST_F(FileReaders, MissingFilesAndDirectoriesAreClearErrors) {
  try {
    readWholeFile("nothing.bmp");
    FAIL();
  } catch (const IoError& e) {
    EXPECT_STREQ(e.what(), "File not found: nothing.bmp");
  }
  std::filesystem::create_directory("folder");
  EXPECT_THROW(readWholeFile("folder"), IoError);
  EXPECT_THROW(OutFile("folder"), IoError);
}

TEST_F(FileReaders, AnOutFileLeftByAnErrorKeepsWhatWasBuilt) {
  try {
    OutFile out("partial.txt");
    out.line("first");
    throw IoError("stop");
  } catch (const IoError&) {
  }
  EXPECT_EQ(readFile("partial.txt"), "first\r\n");
  {
    OutFile out("whole.txt");
    out.line("a");
    out.line("");
    out.close();
  }
  EXPECT_EQ(readFile("whole.txt"), "a\r\n\r\n");
}

TEST_F(FileReaders, AnOutFileWritesTextByReferenceInPlaceAndReportsAFullDisk) {
  // More pieces than one gathered write takes, and text added by reference, empty or not, at
  // every place in the buffer.
  static const std::string kLasting = "<lasting>";
  std::string expected;
  {
    OutFile out("pieces.txt");
    for (int k = 0; k < 1500; ++k) {
      if (k % 3 != 0) {
        out.text() += std::to_string(k);
        expected += std::to_string(k);
      }
      out.appendLasting(std::string_view(kLasting).substr(0, static_cast<std::size_t>(k % 10)));
      expected += kLasting.substr(0, static_cast<std::size_t>(k % 10));
    }
    out.line("end");
    expected += "end\r\n";
    out.close();
  }
  EXPECT_EQ(readFile("pieces.txt"), expected);

  // A file size limit stands for a full disk: the write stops part-way and close() says so.
  rlimit previous{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previous), 0);
  const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = previous;
  small.rlim_cur = 1000;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  OutFile out("full.txt");
  std::string built;
  for (int k = 0; k < 300; ++k) {
    out.text() += "0123456789";
    out.appendLasting(kLasting);
    built += "0123456789" + kLasting;
  }
  try {
    out.close();
    ADD_FAILURE() << "a short write went unnoticed";
  } catch (const IoError& e) {
    EXPECT_STREQ(e.what(), "Cannot write file: full.txt");
  }
  setrlimit(RLIMIT_FSIZE, &previous);
  std::signal(SIGXFSZ, previousHandler);
  EXPECT_EQ(readFile("full.txt"), built.substr(0, 1000));
}

TEST_F(FileReaders, HeaderReaderTakesSizesModulo65536AndLogsBoth) {
  ModuleLog log;
  BmpSize size = readBmpSize(test::bmpBytes(512, 512, std::string()), "a.bmp", log);
  EXPECT_EQ(size.xmax, 511);
  EXPECT_EQ(size.ymax, 511);
  EXPECT_EQ(log.lines, (std::vector<std::string>{"Memo1", "X size is 512", "Y Size is 512"}));

  ModuleLog wide;
  size = readBmpSize(test::bmpBytes(70000, 0, std::string()), "w.bmp", wide);
  EXPECT_EQ(size.xmax, 4463);
  EXPECT_EQ(size.ymax, -1);
  EXPECT_EQ(wide.lines[1], "X size is 4464");
  EXPECT_EQ(wide.lines[2], "Y Size is 0");

  ModuleLog topDown;
  size = readBmpSize(test::bmpBytes(4, -4, std::string()), "t.bmp", topDown);
  EXPECT_EQ(size.ymax, 65531);
}

TEST_F(FileReaders, AHeaderCutShortStopsAtTheFieldItCannotRead) {
  std::string header = test::bmpBytes(512, 512, std::string());
  writeFile("cut22.bmp", header.substr(0, 22));
  ModuleLog log;
  EXPECT_THROW(readBmpSize("cut22.bmp", log), IoError);
  EXPECT_EQ(log.lines, (std::vector<std::string>{"Memo1", "X size is 512"}));
  writeFile("cut10.bmp", header.substr(0, 10));
  ModuleLog none;
  EXPECT_THROW(readBmpSize("cut10.bmp", none), IoError);
  EXPECT_EQ(none.lines.size(), 1u);
  ModuleLog missing;
  EXPECT_THROW(readBmpSize("missing.bmp", missing), IoError);
}

std::vector<JobEntry> readAll(const std::string& text) {
  std::vector<JobEntry> entries;
  TextReader in(text, "jobs");
  readJobList(in, [&](const JobEntry& e) { entries.push_back(e); });
  return entries;
}

TEST(JobList, OnlyAFirstFieldOf9999EndsTheList) {
  auto entries = readAll("//c\r\n0;9999;a.bmp;p;s;o;\r\n9999;0;b.bmp;p;s;o;\r\nx;x;c;p;s;o;\r\n");
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].y1, 9999);
  EXPECT_EQ(entries[0].filename, "a.bmp");
}

TEST(JobList, AListWithoutEndEntryEndsWithItsData) {
  auto entries = readAll("//c\r\n1;2;a.bmp;p;s;o1;\r\n3;4;b c.bmp;p2;s2;o2;");
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[1].filename, "b c.bmp");
  EXPECT_EQ(entries[1].patientId, "p2");
  EXPECT_EQ(entries[1].setId, "s2");
  EXPECT_EQ(entries[1].outputFilename, "o2");
}

TEST(JobList, ALastFieldEndsAtTheLineEndAndExtraTextIsIgnored) {
  auto entries = readAll(
      "//"
      "c\r\n512;512;a.bmp;patient-1;set-1;setup101.map1\r\n1;1;b;p;s;o;extra;more\r\n9999;9999;"
      "\r\n");
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].outputFilename, "setup101.map1");
  EXPECT_EQ(entries[1].outputFilename, "o");
  EXPECT_EQ(entries[1].x1, 1);
}

TEST(JobList, TheRunLoopTellsAnEndEntryFromTheEndOfTheFile) {
  int seen = 0;
  TextReader withEnd("//c\r\n1;1;a;p;s;o;\r\n9999;9999;\r\n", "j");
  EXPECT_TRUE(runJobList(withEnd, [&](const JobEntry&) { ++seen; }));
  TextReader without("//c\r\n1;1;a;p;s;o;\r\n", "j");
  EXPECT_FALSE(runJobList(without, [&](const JobEntry&) { ++seen; }));
  EXPECT_EQ(seen, 2);
}

TEST(JobList, IntegerFieldsThatAreNotNumbersReadZero) {
  TextReader in(";abc;9999x;", "j");
  EXPECT_EQ(readIntField(in), 0);
  EXPECT_EQ(readIntField(in), 0);
  EXPECT_EQ(readIntField(in), 0);
}

}  // namespace
}  // namespace pelk
