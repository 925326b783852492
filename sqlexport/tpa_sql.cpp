#include <array>

#include "common/file_io.h"
#include "common/fixed_files.h"
#include "common/format.h"
#include "common/text_reader.h"
#include "sqlexport/script_parts.h"
#include "sqlexport/sql_export.h"

namespace pelk {
namespace {

// "is not exists" and the missing comma before areaTotal2 are how the statement has always been
// written; scripts already stored carry it this way.
constexpr std::string_view kCreate =
    "Create table is not exists tpa (idx int, patientId text, testId text, fn text, "
    "areaTotal real, meanArea real, medArea real, totInt real, meanInt real, medInt real, "
    "tumorIdx realareaTotal2 real, meanArea2 real, medArea2 real, totInt2 real, meanInt2 real, "
    "medInt2 real, tumorIdx2 real);";

constexpr std::string_view kInsert =
    "insert into tpa(idx, fn, patientId, testId, areaTotal, meanArea, medArea, totInt, meanInt, "
    "medInt, tumorIdx, areaTotal2, meanArea2, medArea2, totInt2, meanInt2, medInt2, tumorIdx2) "
    "values(";

constexpr int kValuesPerGroup = 7;

// Reads the leading number of each of a group's seven value lines; the labels are skipped.
void readGroup(TextReader& source, double* values) {
  for (int k = 0; k < kValuesPerGroup; ++k) {
    values[k] = source.readReal();
    source.skipLine();
  }
}

}  // namespace

void tpaSql(const std::string& fn, const std::string& patientId, const std::string& testId) {
  // The result file is opened before the script: when it is missing, an earlier script stays.
  TextReader source = TextReader::open(fn);
  OutFile script(kTpaScript);
  std::string& out = script.text();
  sql::appendOpening(out, kCreate);

  std::array<double, 2 * kValuesPerGroup> values{};
  source.skipLines(2);  // "Statistical Results", "Group 1"
  readGroup(source, values.data());
  source.skipLine();  // "Group 2"
  readGroup(source, values.data() + kValuesPerGroup);

  out += kInsert;
  appendInt(out, 1);
  out += ',';
  sql::appendQuotedIds(out, fn, patientId, testId);
  for (double value : values) {
    out += ',';
    appendReal(out, value, 9, 3);
  }
  out += ");\r\n\r\n";
  script.close();
}

}  // namespace pelk
