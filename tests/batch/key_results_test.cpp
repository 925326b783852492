#include "app/batch/key_results.h"

#include <gtest/gtest.h>

#include "tests/support/files.h"
#include "tests/support/scratch_dir.h"

namespace pelk {
namespace {

struct FindingsCase {
  const char* name;
  std::string results;      // results.txt
  std::string progression;  // progression.json, empty for none
  std::vector<std::string> expected;
};
// Test names show the case by its name, not its bytes.
inline void PrintTo(const FindingsCase& c, std::ostream* os) { *os << c.name; }

class KeyFindings : public test::ScratchDirTest,
                    public ::testing::WithParamInterface<FindingsCase> {};

TEST_P(KeyFindings, AreReadFromTheRowsFiles) {
  test::writeFile("results.txt", GetParam().results);
  if (!GetParam().progression.empty()) test::writeFile("progression.json", GetParam().progression);
  EXPECT_EQ(readKeyResults(dir()).columns(), GetParam().expected);
}

const std::string kJson =
    "{\r\n  \"verdict\": \"STABLE\",\r\n  \"burden1\": 392,\r\n  \"burden2\": 1052,\r\n}\r\n";

INSTANTIATE_TEST_SUITE_P(
    Table, KeyFindings,
    ::testing::Values(
        FindingsCase{
            "Synopses",
            "Result:     0.202 Determination: Not Sigificant\r\n"
            "Result    11.952 Determination:  Significant\r\n"
            "Tumor Progression is STABLE (NO CHANGE)\r\n"
            "Robust verdict: STABLE\r\n",
            kJson,
            {"Not Significant", "Significant", "STABLE (NO CHANGE)", "STABLE", "392", "1052"}},
        FindingsCase{"SingleAnalysesLastWins",
                     "RRA Result is TRUE\r\nRRA Result is FALSE\r\n"
                     "is that the result is not significant\r\n"
                     "Tumor Progression is INCREASING\r\n",
                     "",
                     {"Not Significant", "Not Significant", "INCREASING", "", "", ""}},
        // Burdens left by an earlier robust run are not this run's: no verdict, no burdens.
        FindingsCase{"BurdensOnlyWithTheRobustVerdict",
                     "RRA Result is TRUE\r\n",
                     kJson,
                     {"Significant", "", "", "", "", ""}},
        FindingsCase{"NothingFound", "Results Area\r\n", "", {"", "", "", "", "", ""}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace pelk
