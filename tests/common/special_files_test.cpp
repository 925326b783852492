#include <optional>
#include <string>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/file_io.h"
#include "common/io_error.h"
#include "common/text_reader.h"
#include "tests/support/files.h"
#include "tests/support/scratch_dir.h"

namespace pelk {
namespace {

// Names that lead to something other than a regular file. Opening a named pipe the ordinary
// way waits for a writer (or a reader) that never comes, so these tests hang, not fail, if a
// reader or writer opens it that way.
class SpecialFiles : public test::ScratchDirTest {
 protected:
  void SetUp() override {
    test::ScratchDirTest::SetUp();
    ASSERT_EQ(mkfifo("pipe", 0600), 0);
    ASSERT_EQ(symlink("loop", "loop"), 0);
  }
};

TEST_F(SpecialFiles, ReadersRefuseThemWithAClearMessage) {
  const struct {
    const char* name;
    const char* message;
  } cases[] = {
      {"pipe", "Cannot open file: pipe (not a regular file)"},
      {"loop", "Cannot open file: loop (Too many levels of symbolic links)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    for (auto read : {+[](const std::string& p) { readWholeFile(p); },
                      +[](const std::string& p) { readFileHead(p, 24); },
                      +[](const std::string& p) { TextReader::open(p); }}) {
      try {
        read(c.name);
        ADD_FAILURE() << "read without error";
      } catch (const IoError& e) {
        EXPECT_EQ(std::string(e.what()), c.message);
      }
    }
  }
}

// The look before a read that is expected to find nothing says what the read would say.
TEST_F(SpecialFiles, FileNotFoundAgreesWithTheReader) {
  test::writeFile("scan.bmp", "BM");
  ASSERT_EQ(mkdir("folder", 0700), 0);
  for (const char* name :
       {"scan.bmp", "missing.bmp", "no-folder/scan.bmp", "scan.bmp/x", "folder", "pipe", "loop"}) {
    SCOPED_TRACE(name);
    std::optional<std::string> readerSays;
    try {
      readWholeFile(name);
    } catch (const IoError& e) {
      if (std::string(e.what()).starts_with("File not found: ")) readerSays = e.what();
    }
    EXPECT_EQ(fileNotFound(name), readerSays);
  }
}

TEST_F(SpecialFiles, AnOutputNamingAPipeWithoutReaderFailsInsteadOfWaiting) {
  EXPECT_THROW(OutFile("pipe"), IoError);
  EXPECT_THROW(writeWholeFile("pipe", "text"), IoError);
}

TEST_F(SpecialFiles, OutputsStillReplaceRegularFiles) {
  test::writeFile("out.txt", "an older and longer content");
  writeWholeFile("out.txt", "new");
  EXPECT_EQ(test::readFile("out.txt"), "new");
}

}  // namespace
}  // namespace pelk
