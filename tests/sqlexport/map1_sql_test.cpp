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
    "create table if not exists map1 (idx int, fn text, patientId text, testId text, "
    "rectype int, result real, isSig boolean, d1[520] int);";
const std::string kInsert = "insert into map1(idx, fn, patientId, testId, recType, d1[])";

std::string padded(long long value, std::size_t width) {
  std::string digits = std::to_string(value);
  return std::string(digits.size() < width ? width - digits.size() : 0, ' ') + digits;
}

// A full map whose block (i, j) holds 1000 i + j, so every exported number names its cell.
std::string mapText() {
  std::string text = "     100       5\r\nMean:       26.214\r\n";
  for (int i = 0; i <= 512; ++i) {
    for (int j = 0; j <= 512; ++j) text += padded(1000LL * i + j, 8);
    text += "\r\n";
  }
  return text;
}

// The third line of a record as the block row `row` of mapText() gives it.
std::string sumsLine(int row) {
  std::string line;
  for (int j = 0; j < 512; ++j) {
    if (j > 0) line += ',';
    line += padded(1000LL * row + j, 6);
  }
  return line + ");";
}

class Map1SqlTest : public test::ScratchDirTest {};

TEST_F(Map1SqlTest, EachBlockRowBecomesThreeLinesWithSumsInWidth6) {
  writeFile("setup101.map", mapText());
  map1Sql("setup101.map", "patient1", "test1");
  std::string script = readFile("map1.sql");
  auto lines = crlfLines(script);
  ASSERT_EQ(lines.size(), 3u + 1 + 512 * 3 + 1);
  EXPECT_EQ(script.substr(0, test::opening(kCreate).size()), test::opening(kCreate));
  EXPECT_EQ(lines[3], "");
  EXPECT_EQ(lines[4], kInsert);
  EXPECT_EQ(lines[5], " values(1,\"setup101.map\",\"patient1\",\"test1\",1,");
  EXPECT_EQ(lines[6], sumsLine(0));
  EXPECT_EQ(lines[4 + 3 * 300 + 1], " values(301,\"setup101.map\",\"patient1\",\"test1\",1,");
  EXPECT_EQ(lines[4 + 3 * 300 + 2], sumsLine(300));
  EXPECT_EQ(lines[4 + 3 * 511], kInsert);
  EXPECT_EQ(lines[4 + 3 * 511 + 2], sumsLine(511));
  EXPECT_EQ(lines.back(), "");
  // Neither the 513th sum of a row nor the last block row is exported.
  EXPECT_EQ(script.find("511512"), std::string::npos);
  EXPECT_EQ(script.find("512000"), std::string::npos);
}

TEST_F(Map1SqlTest, AShortMapStillGives512RecordsAndWideSumsAreWrittenInFull) {
  writeFile("setup102b.map", "     100       5\r\nMean:       26.214\r\n 1234567       7\r\n");
  map1Sql("setup102b.map", "p", "t");
  auto lines = crlfLines(readFile("map1.sql"));
  ASSERT_EQ(lines.size(), 3u + 1 + 512 * 3 + 1);
  EXPECT_EQ(lines[6].substr(0, 22), "1234567,     7,     0,");
  std::string zeros;
  for (int j = 0; j < 512; ++j) zeros += j ? ",     0" : "     0";
  EXPECT_EQ(lines[9], zeros + ");");
  EXPECT_EQ(lines[4 + 3 * 511 + 2], zeros + ");");
}

TEST_F(Map1SqlTest, ASecondRunReplacesTheScript) {
  writeFile("setup101.map", mapText());
  writeFile("setup102b.map", "     100       5\r\nMean:       26.214\r\n");
  map1Sql("setup101.map", "p", "t");
  map1Sql("setup102b.map", "p", "t");
  std::string script = readFile("map1.sql");
  EXPECT_EQ(script.find("setup101.map"), std::string::npos);
  EXPECT_EQ(crlfLines(script).size(), 3u + 1 + 512 * 3 + 1);
}

TEST_F(Map1SqlTest, AMissingMapLeavesAnEmptyScript) {
  writeFile("map1.sql", "an earlier script\r\n");
  EXPECT_THROW(map1Sql("setup101.map", "p", "t"), IoError);
  EXPECT_EQ(readFile("map1.sql"), "");
}

TEST_F(Map1SqlTest, ANonNumericSumStopsAfterTheRecordsBeforeIt) {
  std::string text = "     100       5\r\nMean:       26.214\r\n";
  for (int j = 0; j < 513; ++j) text += padded(j, 8);
  text += "\r\n       5     abc\r\n";
  writeFile("bad.map", text);
  EXPECT_THROW(map1Sql("bad.map", "p", "t"), IoError);
  auto lines = crlfLines(readFile("map1.sql"));
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[6], sumsLine(0));
}

}  // namespace
}  // namespace pelk
