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
    "Create table is not exists table param1 (idx int, fn text, patientId text, testId text, "
    "recType int, result real, is Sig boolean, d1 int, d2 int, d3 int, d4 int, d5 int);";
const std::string kRowInsert =
    "insert into param1(idx,fn,patientId,testId,recType,d1,d2,d3,d4,d5) values(";

std::string field8(int value) {
  std::string digits = std::to_string(value);
  return std::string(digits.size() < 8 ? 8 - digits.size() : 0, ' ') + digits;
}

// A profile whose band s holds s, base + s, 2s, 3s and base - s.
std::string profile(int base) {
  std::string text = field8(100) + field8(5) + "\r\n";
  for (int s = 0; s < 100; ++s)
    text +=
        field8(s) + field8(base + s) + field8(2 * s) + field8(3 * s) + field8(base - s) + "\r\n";
  return text;
}

class Param1SqlTest : public test::ScratchDirTest {};

TEST_F(Param1SqlTest, HeaderStatementHasUnquotedTextsAndWidth5Counts) {
  writeFile("setup101.param1", profile(1000));
  param1Sql("setup101.param1", "patient1", "test1");
  auto lines = crlfLines(readFile("param1.sql"));
  ASSERT_EQ(lines.size(), 3u + 1 + 1 + 100 + 1);
  EXPECT_EQ(test::opening(kCreate), lines[0] + "\r\n" + lines[1] + "\r\n" + lines[2] + "\r\n");
  EXPECT_EQ(lines[3], "");
  EXPECT_EQ(lines[4],
            "insert into param1 (idx, fn, patientId, testId, recType, d1, d2)values "
            "(0,setup101.param1,patient1,test1,1,  100,    5);");
  EXPECT_EQ(lines[105], "");
}

TEST_F(Param1SqlTest, RowsGlueTheRecordTypeToD1AndEndWithABlank) {
  writeFile("setup101.param1", profile(1000));
  param1Sql("setup101.param1", "patient1", "test1");
  auto lines = crlfLines(readFile("param1.sql"));
  ASSERT_EQ(lines.size(), 106u);
  EXPECT_EQ(lines[5],
            kRowInsert + "1,\"setup101.param1\",\"patient1\",\"test1\",20,1000,0,0,1000); ");
  EXPECT_EQ(lines[6],
            kRowInsert + "2,\"setup101.param1\",\"patient1\",\"test1\",21,1001,2,3,999); ");
  EXPECT_EQ(lines[104],
            kRowInsert + "100,\"setup101.param1\",\"patient1\",\"test1\",299,1099,198,297,901); ");
}

TEST_F(Param1SqlTest, ASecondRunLeavesOnlyTheSecondProfilesRows) {
  writeFile("setup101.param1", profile(1000));
  writeFile("setup101b.param1", profile(5000));
  param1Sql("setup101.param1", "patient1", "test1");
  param1Sql("setup101b.param1", "patient1", "test1");
  std::string script = readFile("param1.sql");
  EXPECT_EQ(script.find("setup101.param1"), std::string::npos);
  auto lines = crlfLines(script);
  ASSERT_EQ(lines.size(), 106u);
  EXPECT_EQ(lines[5],
            kRowInsert + "1,\"setup101b.param1\",\"patient1\",\"test1\",20,5000,0,0,5000); ");
}

TEST_F(Param1SqlTest, AlwaysHundredRowsWithZerosForWhatIsMissing) {
  writeFile("short.param1",
            "       3       5\r\n       0      10      11      12      13   extra\r\n");
  param1Sql("short.param1", "p", "t");
  auto lines = crlfLines(readFile("param1.sql"));
  ASSERT_EQ(lines.size(), 106u);
  EXPECT_EQ(lines[4],
            "insert into param1 (idx, fn, patientId, testId, recType, d1, d2)values "
            "(0,short.param1,p,t,1,    3,    5);");
  EXPECT_EQ(lines[5], kRowInsert + "1,\"short.param1\",\"p\",\"t\",20,10,11,12,13); ");
  EXPECT_EQ(lines[6], kRowInsert + "2,\"short.param1\",\"p\",\"t\",20,0,0,0,0); ");
  EXPECT_EQ(lines[104], kRowInsert + "100,\"short.param1\",\"p\",\"t\",20,0,0,0,0); ");
}

TEST_F(Param1SqlTest, AMissingProfileLeavesAnEarlierScriptUntouched) {
  writeFile("param1.sql", "an earlier script\r\n");
  EXPECT_THROW(param1Sql("setup101.param1", "p", "t"), IoError);
  EXPECT_EQ(readFile("param1.sql"), "an earlier script\r\n");
}

}  // namespace
}  // namespace pelk
