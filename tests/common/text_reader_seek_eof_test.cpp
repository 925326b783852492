#include <gtest/gtest.h>

#include "common/text_reader.h"

namespace pelk {
namespace {

TEST(TextReaderSeekEof, TrueOnlyWhenNoNumberIsLeftAndNeverMoves) {
  TextReader r("  7 \r\n \t\r\n", "t");
  EXPECT_FALSE(r.seekEof());
  EXPECT_EQ(r.readInt(), 7);
  EXPECT_TRUE(r.seekEof());
  EXPECT_FALSE(r.eof());
  r.skipLine();  // still where reading left it: the rest of line 1, then line 2 is left
  EXPECT_EQ(r.readLine(), " \t");
  EXPECT_TRUE(r.seekEof());
  EXPECT_TRUE(TextReader("", "e").seekEof());
}

}  // namespace
}  // namespace pelk
