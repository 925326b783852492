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
    "Create table is not exists tpa (idx int, patientId text, testId text, fn text, "
    "areaTotal real, meanArea real, medArea real, totInt real, meanInt real, medInt real, "
    "tumorIdx realareaTotal2 real, meanArea2 real, medArea2 real, totInt2 real, meanInt2 real, "
    "medInt2 real, tumorIdx2 real);";
const std::string kInsert =
    "insert into tpa(idx, fn, patientId, testId, areaTotal, meanArea, medArea, totInt, meanInt, "
    "medInt, tumorIdx, areaTotal2, meanArea2, medArea2, totInt2, meanInt2, medInt2, tumorIdx2) "
    "values(";

// Group 1's values are 1..7 and group 2's 11..17 plus a quarter, so a value taken from the
// wrong line shows at once.
const std::string kTpaDat =
    "Statistical Results\r\n"
    "Group 1\r\n"
    "    1.000 Total Area\r\n"
    "    2.000 Mean Area\r\n"
    "    3.000 Median Area\r\n"
    "    4.000 Total Intensity\r\n"
    "    5.000 Mean Intensity\r\n"
    "    6.000 Median Intensity\r\n"
    "    7.000 Tumor Idx\r\n"
    "Group 2\r\n"
    "   11.250 Total Area\r\n"
    "   12.250 Mean Area\r\n"
    "   13.250 Median Area\r\n"
    "   14.250 Total Intensity\r\n"
    "   15.250 Mean Intensity\r\n"
    "   16.250 Median Instensity\r\n"
    "12345.678 Tumor Index 2\r\n"
    "Tumor Progression is INCREASING\r\n";

class TpaSqlTest : public test::ScratchDirTest {};

TEST_F(TpaSqlTest, ReadsTheLeadingNumbersOfBothGroupsIntoOneInsert) {
  writeFile("tpa.dat", kTpaDat);
  tpaSql("tpa.dat", "patient1", "test1");
  EXPECT_EQ(readFile("tpa.sql"),
            test::opening(kCreate) + kInsert +
                "1,\"tpa.dat\",\"patient1\",\"test1\","
                "    1.000,    2.000,    3.000,    4.000,    5.000,    6.000,    7.000,"
                "   11.250,   12.250,   13.250,   14.250,   15.250,   16.250,12345.678);\r\n"
                "\r\n");
}

TEST_F(TpaSqlTest, AShortFileGivesZeros) {
  writeFile("tpa.dat", "Statistical Results\r\nGroup 1\r\n  480.000 Total Area\r\n");
  tpaSql("tpa.dat", "p", "t");
  std::string zeros;
  for (int k = 0; k < 13; ++k) zeros += ",    0.000";
  EXPECT_EQ(readFile("tpa.sql"), test::opening(kCreate) + kInsert +
                                     "1,\"tpa.dat\",\"p\",\"t\",  480.000" + zeros + ");\r\n\r\n");
}

TEST_F(TpaSqlTest, AMissingSourceLeavesAnEarlierScriptUntouched) {
  writeFile("tpa.sql", "an earlier script\r\n");
  EXPECT_THROW(tpaSql("tpa.dat", "p", "t"), IoError);
  EXPECT_EQ(readFile("tpa.sql"), "an earlier script\r\n");
}

TEST_F(TpaSqlTest, AMissingSourceCreatesNoScript) {
  EXPECT_THROW(tpaSql("tpa.dat", "p", "t"), IoError);
  EXPECT_FALSE(test::fileExists("tpa.sql"));
}

}  // namespace
}  // namespace pelk
