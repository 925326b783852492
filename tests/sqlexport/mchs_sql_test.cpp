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
    "create table if not exists mchs(idx int, fn text, patientId text,testId text, x int, y int, "
    "intensity real);";
const std::string kInsert = "insert into mchs(fn, patientId, testId, idx, x, y, intensity) values(";
const std::string kHeading =
    "=== MCHS RESULTS ===\r\n\r\n   Idx     X     Y Value   Xb   Yb\r\n\r\n";

class MchsSqlTest : public test::ScratchDirTest {};

TEST_F(MchsSqlTest, EachInsertIsFollowedByAnEmptyLineAndTheCreateIsNot) {
  writeFile("mchs-results.dat", kHeading +
                                    "     1     3   512 1234.500   292     0\r\n"
                                    "     2    40     7   50.000   273   243\r\n");
  mchsSql("mchs-results.dat", "patient1", "test1");
  EXPECT_EQ(readFile("mchs.sql"),
            test::opening(kCreate) + kInsert +
                "\"mchs-results.dat\",\"patient1\",\"test1\",    1,    3,  512, 1234.500);\r\n"
                "\r\n" +
                kInsert +
                "\"mchs-results.dat\",\"patient1\",\"test1\",    2,   40,    7,   50.000);\r\n"
                "\r\n");
}

TEST_F(MchsSqlTest, NoPointsGiveOnlyTheOpening) {
  writeFile("mchs-results.dat", kHeading);
  mchsSql("mchs-results.dat", "p", "t");
  EXPECT_EQ(readFile("mchs.sql"), test::opening(kCreate));
}

TEST_F(MchsSqlTest, ALastLineWithoutLineEndIsStillARow) {
  writeFile("mchs-results.dat", kHeading + "     1 123456     7  1.25");
  mchsSql("mchs-results.dat", "p", "t");
  EXPECT_EQ(readFile("mchs.sql"),
            test::opening(kCreate) + kInsert +
                "\"mchs-results.dat\",\"p\",\"t\",    1,123456,    7,    1.250);\r\n\r\n");
}

TEST_F(MchsSqlTest, AMissingResultsFileLeavesAnEmptyScript) {
  writeFile("mchs.sql", "an earlier script\r\n");
  EXPECT_THROW(mchsSql("mchs-results.dat", "p", "t"), IoError);
  EXPECT_EQ(readFile("mchs.sql"), "");
}

}  // namespace
}  // namespace pelk
