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
    "create table if not exists cluster(idx int, fn text, patientId text,testId text, x int, "
    "y int, dx int, dy int, intensity real);";
const std::string kInsert =
    "insert into cluster(idx, fn, patientId, testId, x, y, dx, dy, area, intensity) ";
const std::string kSummary = "cluster1.db.txt.dat";

class Cluster1SqlTest : public test::ScratchDirTest {};

TEST_F(Cluster1SqlTest, NoRegionsGiveTheFiveLines) {
  writeFile(kSummary, "0\r\n\r\n");
  cluster1Sql(kSummary, "patient1", "test1");
  EXPECT_EQ(readFile("cluster1.sql"), test::opening(kCreate) + "\r\n\r\n");
}

TEST_F(Cluster1SqlTest, RegionLinesUsePlainIntegersAndTheIntensityIn9Point3) {
  writeFile(kSummary,
            "2\r\n"
            "  120  340    3    7   21  180.500  480  270\r\n"
            "    5    7    1    1    1  200.000  621    6\r\n"
            "\r\n");
  cluster1Sql(kSummary, "patient1", "test1");
  EXPECT_EQ(readFile("cluster1.sql"),
            test::opening(kCreate) + "\r\n" + kInsert +
                "\r\n"
                "values (1,\"cluster1.db.txt.dat\",\"patient1\",\"test1\",120,340,3,7,21,  "
                "180.500);\r\n" +
                kInsert +
                "\r\n"
                "values (2,\"cluster1.db.txt.dat\",\"patient1\",\"test1\",5,7,1,1,1,  200.000);\r\n"
                "\r\n");
}

TEST_F(Cluster1SqlTest, QuotesInTextsAreWrittenUnchanged) {
  writeFile(kSummary, "1\r\n    1    2    3    4   12   99.250    0    0\r\n\r\n");
  cluster1Sql(kSummary, "pat\"ient", "te,st");
  auto lines = crlfLines(readFile("cluster1.sql"));
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[5],
            "values (1,\"cluster1.db.txt.dat\",\"pat\"ient\",\"te,st\",1,2,3,4,12,   99.250);");
}

TEST_F(Cluster1SqlTest, RegionsMissingAtTheEndReadAsZero) {
  writeFile(kSummary, "2\r\n   10   20    3    4   12   50.000  612  16\r\n");
  cluster1Sql(kSummary, "p", "t");
  auto lines = crlfLines(readFile("cluster1.sql"));
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(lines[7], "values (2,\"cluster1.db.txt.dat\",\"p\",\"t\",0,0,0,0,0,    0.000);");
  EXPECT_EQ(lines[8], "");
}

TEST_F(Cluster1SqlTest, ANegativeCountWritesNoInsert) {
  writeFile(kSummary, "-3\r\n");
  cluster1Sql(kSummary, "p", "t");
  EXPECT_EQ(readFile("cluster1.sql"), test::opening(kCreate) + "\r\n\r\n");
}

TEST_F(Cluster1SqlTest, ACountAboveTheFinderMaximumIsRejected) {
  writeFile(kSummary, "1001\r\n    1    2    3    4   12   99.250    0    0\r\n\r\n");
  try {
    cluster1Sql(kSummary, "p", "t");
    FAIL() << "no error";
  } catch (const IoError& e) {
    EXPECT_STREQ(e.what(), "Corrupt count 1001 in cluster1.db.txt.dat");
  }
  // The script keeps what was written before the count was read.
  EXPECT_EQ(readFile("cluster1.sql"), test::opening(kCreate) + "\r\n");
}

TEST_F(Cluster1SqlTest, ACountOfAThousandIsAccepted) {
  writeFile(kSummary, "1000\r\n");
  cluster1Sql(kSummary, "p", "t");
  EXPECT_EQ(crlfLines(readFile("cluster1.sql")).size(), 5u + 2000u);
}

TEST_F(Cluster1SqlTest, AMissingSummaryLeavesAnEmptyScript) {
  writeFile("cluster1.sql", "an earlier script\r\n");
  EXPECT_THROW(cluster1Sql(kSummary, "p", "t"), IoError);
  ASSERT_TRUE(test::fileExists("cluster1.sql"));
  EXPECT_EQ(readFile("cluster1.sql"), "");
}

TEST_F(Cluster1SqlTest, ANonNumericValueStopsAfterTheRegionsBeforeIt) {
  writeFile(kSummary,
            "2\r\n    1    2    3    4   12   99.250    0    0\r\n    1    2    x    4\r\n");
  EXPECT_THROW(cluster1Sql(kSummary, "p", "t"), IoError);
  auto lines = crlfLines(readFile("cluster1.sql"));
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[5], "values (1,\"cluster1.db.txt.dat\",\"p\",\"t\",1,2,3,4,12,   99.250);");
}

}  // namespace
}  // namespace pelk
