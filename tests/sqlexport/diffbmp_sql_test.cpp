#include <cstdio>

#include <gtest/gtest.h>

#include "common/io_error.h"
#include "sqlexport/sql_export.h"
#include "tests/sqlexport/script_text.h"
#include "tests/support/files.h"
#include "tests/support/scratch_dir.h"

namespace pelk {
namespace {

using test::crlfLines;
using test::readFile;
using test::writeFile;

const std::string kCreate =
    "create table if not exists diffbmp(idx int, fn text, patientId text,testId text, "
    "d1[256] int);";
const std::string kInsert = "insert into diffbmp(idx, fn, patientId, testId, d1[]) ";

// The byte line for 256 given values: 255 four-wide numbers each with a comma, the last five
// wide.
std::string bytesLine(const unsigned char* values) {
  std::string line;
  char buf[16];
  for (int k = 0; k < 255; ++k) {
    std::snprintf(buf, sizeof buf, "%4d,", values[k]);
    line += buf;
  }
  std::snprintf(buf, sizeof buf, "%5d);", values[255]);
  return line + buf;
}

std::string bytesLine(const std::string& bytes, std::size_t from) {
  return bytesLine(reinterpret_cast<const unsigned char*>(bytes.data()) + from);
}

class DiffbmpSqlTest : public test::ScratchDirTest {};

TEST_F(DiffbmpSqlTest, AFull512By512DifferenceImageGivesRecords0To1028) {
  std::string bytes = test::bmpBytes(512, 512, [](int r, int c) { return r * 7 + c * 13 + 200; });
  ASSERT_EQ(bytes.size(), 263222u);
  writeFile("diffbmp.bmp", bytes);
  diffbmpSql("diffbmp.bmp", "patient1", "test1");
  auto lines = crlfLines(readFile("diffbmp.sql"));
  ASSERT_EQ(lines.size(), 3u + 1 + 1029 * 3 + 1);
  EXPECT_EQ(lines[3], "");
  EXPECT_EQ(lines[4], kInsert);
  EXPECT_EQ(lines[5], " values(0,\"diffbmp.bmp\",\"patient1\",\"test1\",");
  // Record 0 starts with the header: 'B' and 'M' are 66 and 77.
  EXPECT_EQ(lines[6].substr(0, 10), "  66,  77,");
  EXPECT_EQ(lines[6], bytesLine(bytes, 0));
  EXPECT_EQ(lines[4 + 3 * 1027 + 2], bytesLine(bytes, 1027 * 256));
  EXPECT_EQ(lines[4 + 3 * 1028 + 1], " values(1028,\"diffbmp.bmp\",\"patient1\",\"test1\",");

  // The last record holds the file's last 54 bytes, then positions 54..255 of record 1027.
  unsigned char last[256];
  for (int k = 0; k < 256; ++k)
    last[k] = static_cast<unsigned char>(k < 54 ? bytes[1028 * 256 + k] : bytes[1027 * 256 + k]);
  EXPECT_EQ(lines[4 + 3 * 1028 + 2], bytesLine(last));
  EXPECT_EQ(lines.back(), "");
}

TEST_F(DiffbmpSqlTest, PositionsNeverReadInAShortFileAreZero) {
  writeFile("diffbmp.bmp", std::string("\xFF"
                                       "BM\x01",
                                       4));
  diffbmpSql("diffbmp.bmp", "p", "t");
  unsigned char expected[256] = {255, 66, 77, 1};
  auto lines = crlfLines(readFile("diffbmp.sql"));
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_EQ(lines[6], bytesLine(expected));
  EXPECT_EQ(lines[6].substr(0, 25), " 255,  66,  77,   1,   0,");
  EXPECT_EQ(lines[6].substr(lines[6].size() - 12), "   0,    0);");
}

TEST_F(DiffbmpSqlTest, AnEmptyFileGivesNoRecord) {
  writeFile("diffbmp.bmp", "");
  diffbmpSql("diffbmp.bmp", "p", "t");
  EXPECT_EQ(readFile("diffbmp.sql"), test::opening(kCreate) + "\r\n\r\n");
}

TEST_F(DiffbmpSqlTest, AWholeNumberOfRecordsRepeatsNothing) {
  std::string bytes(512, '\0');
  for (int k = 0; k < 512; ++k) bytes[k] = static_cast<char>(k < 256 ? 9 : k - 256);
  writeFile("d.bmp", bytes);
  diffbmpSql("d.bmp", "p", "t");
  auto lines = crlfLines(readFile("diffbmp.sql"));
  ASSERT_EQ(lines.size(), 11u);
  EXPECT_EQ(lines[8], " values(1,\"d.bmp\",\"p\",\"t\",");
  EXPECT_EQ(lines[9], bytesLine(bytes, 256));
  EXPECT_EQ(lines[9].substr(lines[9].size() - 12), " 254,  255);");
}

TEST_F(DiffbmpSqlTest, AMissingBitmapLeavesAnEmptyScript) {
  writeFile("diffbmp.sql", "an earlier script\r\n");
  EXPECT_THROW(diffbmpSql("diffbmp.bmp", "p", "t"), IoError);
  EXPECT_EQ(readFile("diffbmp.sql"), "");
}

}  // namespace
}  // namespace pelk
