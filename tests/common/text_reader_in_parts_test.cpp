#include <random>
#include <string>

#include <gtest/gtest.h>

#include "common/io_error.h"
#include "common/text_reader.h"
#include "tests/support/files.h"
#include "tests/support/scratch_dir.h"

namespace pelk {
namespace {

using test::writeFile;

class TextReaderInParts : public test::ScratchDirTest {};

// Files of a few hundred kilobytes, so that tokens, blank runs and line ends fall across the
// parts the reader loads; the same calls on the whole text must give the same results.
std::string randomText(std::mt19937& random, std::size_t size) {
  static const char* const kPieces[] = {"       0", "   12345", " -7",        "\r\n",       "\n",
                                        "\r",       "  ",       "2147483647", "+8",         "1.5",
                                        "abc",      "\t",       "-0",         "99999999999"};
  std::string text;
  while (text.size() < size) {
    text += kPieces[random() % std::size(kPieces)];
    // Long blank runs now and then, longer than the reader's look-ahead.
    if (random() % 50 == 0) text.append(random() % 300, ' ');
  }
  return text;
}

// Reads `count` numbers from `parts` in one row and the same numbers one by one from `whole`:
// both give the same numbers, or both fail at a bad token (and are then moved past its line).
void expectRowAsNumberByNumber(TextReader& whole, TextReader& parts, std::size_t count,
                               const std::string& where) {
  std::int32_t expected[40];
  std::size_t done = 0;
  bool failed = false;
  try {
    for (; done < count; ++done) expected[done] = whole.readInt();
  } catch (const IoError&) {
    failed = true;
  }
  std::int32_t got[40];
  if (failed) {
    ASSERT_THROW(parts.readInts(got, count), IoError) << where;
    whole.skipLine();
    parts.skipLine();
  } else {
    parts.readInts(got, count);
  }
  for (std::size_t k = 0; k < done; ++k) ASSERT_EQ(got[k], expected[k]) << where << "/" << k;
}

TEST_F(TextReaderInParts, ReadsExactlyWhatTheWholeTextReads) {
  std::mt19937 random(4242);
  for (int trial = 0; trial < 12; ++trial) {
    const std::string text = randomText(random, 60 * 1024 + random() % (400 * 1024));
    writeFile("parts.txt", text);
    TextReader whole(text, "parts.txt");
    TextReader parts = TextReader::openInParts("parts.txt");
    for (int step = 0; !whole.eof(); ++step) {
      ASSERT_FALSE(parts.eof()) << trial << "/" << step;
      ASSERT_EQ(parts.seekEof(), whole.seekEof());
      ASSERT_EQ(parts.eoln(), whole.eoln());
      ASSERT_EQ(parts.peek(), whole.peek());
      switch (random() % 7) {
        case 0:
        case 1: {
          std::int32_t expected = 0;
          bool failed = false;
          try {
            expected = whole.readInt();
          } catch (const IoError&) {
            failed = true;
          }
          if (failed) {
            ASSERT_THROW(parts.readInt(), IoError) << trial << "/" << step;
            whole.skipLine();  // past the bad token, both alike
            parts.skipLine();
          } else {
            ASSERT_EQ(parts.readInt(), expected) << trial << "/" << step;
          }
          break;
        }
        case 2: {
          double expected = 0;
          bool failed = false;
          try {
            expected = whole.readReal();
          } catch (const IoError&) {
            failed = true;
          }
          if (failed) {
            ASSERT_THROW(parts.readReal(), IoError) << trial << "/" << step;
            whole.skipLine();
            parts.skipLine();
          } else {
            ASSERT_EQ(parts.readReal(), expected) << trial << "/" << step;
          }
          break;
        }
        case 6: {
          // A row read at once matches the same numbers read one by one.
          const std::size_t count = 1 + random() % 40;
          expectRowAsNumberByNumber(whole, parts, count,
                                    std::to_string(trial) + "/" + std::to_string(step));
          if (HasFatalFailure()) return;
          break;
        }
        case 3:
          whole.skipLine();
          parts.skipLine();
          break;
        case 4: ASSERT_EQ(parts.readLine(), whole.readLine()) << trial << "/" << step; break;
        default: ASSERT_EQ(parts.get(), whole.get()) << trial << "/" << step;
      }
    }
    EXPECT_TRUE(parts.eof());
    EXPECT_EQ(parts.readInt(), 0);
  }
}

TEST_F(TextReaderInParts, RowsOfZeroFieldRunsReadAsNumberByNumber) {
  // Map rows: runs of zero fields of every length around the eight taken at once, broken by
  // sums, by a zero run into a digit or a letter, and by line ends.
  std::mt19937 random(77);
  std::string text;
  while (text.size() < 300 * 1024) {
    for (int k = static_cast<int>(random() % 20); k > 0; --k) text += "       0";
    switch (random() % 6) {
      case 0: text += "     417"; break;
      case 1: text += "       05"; break;
      case 2: text += "       0x"; break;
      case 3: text += "\r\n"; break;
      default: break;
    }
  }
  writeFile("zeros.map", text);
  TextReader whole(text, "zeros.map");
  TextReader parts = TextReader::openInParts("zeros.map");
  for (int step = 0; !whole.seekEof(); ++step) {
    const std::size_t count = 1 + random() % 40;
    expectRowAsNumberByNumber(whole, parts, count, std::to_string(step));
    if (HasFatalFailure()) return;
  }
}

TEST_F(TextReaderInParts, FailsToOpenAsTheWholeReaderDoes) {
  EXPECT_THROW(TextReader::openInParts("missing.map"), IoError);
  EXPECT_THROW(TextReader::openInParts("."), IoError);
  writeFile("empty.map", "");
  TextReader empty = TextReader::openInParts("empty.map");
  EXPECT_TRUE(empty.eof());
  EXPECT_TRUE(empty.seekEof());
  EXPECT_EQ(empty.readInt(), 0);
}

}  // namespace
}  // namespace pelk
