#include <gtest/gtest.h>

#include "sqlexport/sql_export.h"
#include "tests/sqlexport/script_text.h"
#include "tests/support/files.h"
#include "tests/support/scratch_dir.h"

namespace pelk {
namespace {

using test::readFile;

class RraSqlTest : public test::ScratchDirTest {};

TEST_F(RraSqlTest, Rra1WritesOneRowWithTheResultIn9Point3) {
  rra1Sql("patient1", "test1", true, 60.0);
  EXPECT_EQ(readFile("rra1.sql"),
            test::opening("create table if not exists rra1 (idx int,fn text, patientId text,"
                          "testId text, result real, isSig boolean);") +
                "\r\n"
                "insert into rra1 (idx, fn, patientId, testId, result, isSig) values(0,"
                "\"temp\",\"patient1\",\"test1\",   60.000,TRUE);\r\n"
                "\r\n");
}

TEST_F(RraSqlTest, Rra2GoesIntoItsOwnTable) {
  rra2Sql("patient1", "test1", false, 1.23456);
  EXPECT_EQ(readFile("rra2.sql"),
            test::opening("create table if not exists rra2 (idx int,fn text, patientId text,"
                          "testId text, result real, isSig boolean);") +
                "\r\n"
                "insert into rra2 (idx, fn, patientId, testId, result, isSig) values(0,"
                "\"temp\",\"patient1\",\"test1\",    1.235,FALSE);\r\n"
                "\r\n");
}

TEST_F(RraSqlTest, WideAndNegativeResultsAreWrittenInFull) {
  rra1Sql("p\"1", "t", false, -123456.5);
  rra2Sql("p", "t", true, 1e9);
  auto rra1 = test::crlfLines(readFile("rra1.sql"));
  auto rra2 = test::crlfLines(readFile("rra2.sql"));
  ASSERT_EQ(rra1.size(), 6u);
  ASSERT_EQ(rra2.size(), 6u);
  EXPECT_EQ(rra1[4],
            "insert into rra1 (idx, fn, patientId, testId, result, isSig) values(0,"
            "\"temp\",\"p\"1\",\"t\",-123456.500,FALSE);");
  EXPECT_EQ(rra2[4],
            "insert into rra2 (idx, fn, patientId, testId, result, isSig) values(0,"
            "\"temp\",\"p\",\"t\",1000000000.000,TRUE);");
}

}  // namespace
}  // namespace pelk
