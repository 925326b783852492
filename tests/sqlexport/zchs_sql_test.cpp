#include <gtest/gtest.h>

#include "common/io_error.h"
#include "sqlexport/sql_export.h"
#include "tests/sqlexport/script_text.h"
#include "tests/support/files.h"
#include "tests/support/scratch_dir.h"

namespace pelk {
namespace {

using test::readFile;
using test::writeFile;

const std::string kCreate =
    "create table if not exists zchs(idx int, fn text, patientId text,testId text, x int, "
    "intensity real);";
const std::string kInsert = "insert into zchs(idx, fn, patientId, testId, x, intensity) values(";

class ZchsSqlTest : public test::ScratchDirTest {};

TEST_F(ZchsSqlTest, ZonesFollowTheCreateStatementWithoutAnEmptyLine) {
  writeFile("zchs.dat", "2 glist idx\r\n   60.000     7.000\r\n   90.000     5.000\r\n");
  zchsSql("zchs.dat", "patient1", "test1");
  EXPECT_EQ(readFile("zchs.sql"),
            test::opening(kCreate) + kInsert +
                "1,\"zchs.dat\",\"patient1\",\"test1\",       60,    7.000);\r\n" + kInsert +
                "2,\"zchs.dat\",\"patient1\",\"test1\",       90,    5.000);\r\n"
                "\r\n");
}

TEST_F(ZchsSqlTest, ACountOfMinusOneWritesNoInsert) {
  writeFile("zchs.dat", "-1 glist idx\r\n");
  zchsSql("zchs.dat", "patient1", "test1");
  EXPECT_EQ(readFile("zchs.sql"), test::opening(kCreate) + "\r\n");
}

TEST_F(ZchsSqlTest, ZonesMissingAtTheEndReadAsZero) {
  writeFile("zchs.dat", "2 glist idx\r\n  100.000    -3.500\r\n");
  zchsSql("zchs.dat", "p", "t");
  EXPECT_EQ(readFile("zchs.sql"), test::opening(kCreate) + kInsert +
                                      "1,\"zchs.dat\",\"p\",\"t\",      100,   -3.500);\r\n" +
                                      kInsert +
                                      "2,\"zchs.dat\",\"p\",\"t\",        0,    0.000);\r\n"
                                      "\r\n");
}

TEST_F(ZchsSqlTest, ACountAboveTheListSizeIsRejected) {
  writeFile("zchs.dat", "5000000 glist idx\r\n");
  try {
    zchsSql("zchs.dat", "p", "t");
    FAIL() << "no error";
  } catch (const IoError& e) {
    EXPECT_STREQ(e.what(), "Corrupt count 5000000 in zchs.dat");
  }
  EXPECT_EQ(readFile("zchs.sql"), test::opening(kCreate));
}

TEST_F(ZchsSqlTest, AMissingListLeavesAnEmptyScript) {
  writeFile("zchs.sql", "an earlier script\r\n");
  EXPECT_THROW(zchsSql("zchs.dat", "p", "t"), IoError);
  EXPECT_EQ(readFile("zchs.sql"), "");
}

}  // namespace
}  // namespace pelk
