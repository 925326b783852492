#include <array>

#include "common/file_io.h"
#include "common/fixed_files.h"
#include "common/format.h"
#include "common/text_reader.h"
#include "sqlexport/script_parts.h"
#include "sqlexport/sql_export.h"

namespace pelk {
namespace {

// The statement texts are kept exactly as the stored scripts have them, slips included
// ("is not exists", "table param1", "is Sig").
constexpr std::string_view kCreate =
    "Create table is not exists table param1 (idx int, fn text, patientId text, testId text, "
    "recType int, result real, is Sig boolean, d1 int, d2 int, d3 int, d4 int, d5 int);";
constexpr std::string_view kHeaderInsert =
    "insert into param1 (idx, fn, patientId, testId, recType, d1, d2)values (0,";
constexpr std::string_view kRowInsert =
    "insert into param1(idx,fn,patientId,testId,recType,d1,d2,d3,d4,d5) values(";

// A profile always has 100 band rows; a shorter file still gives 100 rows (of zeros).
constexpr int kRows = 100;
constexpr int kValuesPerRow = 5;

}  // namespace

void param1Sql(const std::string& fn, const std::string& patientId, const std::string& testId) {
  // The profile is opened before the script: when it is missing, an earlier script stays.
  TextReader source = TextReader::open(fn);
  OutFile script(kParam1Script);
  std::string& out = script.text();
  out.reserve(32 * 1024);
  sql::appendOpening(out, kCreate);
  out += "\r\n";

  int rows = source.readInt();
  int valuesPerRow = source.readInt();
  source.skipLine();
  out += kHeaderInsert;
  out += fn;
  out += ',';
  out += patientId;
  out += ',';
  out += testId;
  out += ",1,";
  appendInt(out, rows, 5);
  out += ',';
  appendInt(out, valuesPerRow, 5);
  out += ");\r\n";

  for (int i = 1; i <= kRows; ++i) {
    std::array<int, kValuesPerRow> d{};
    for (int& value : d) value = source.readInt();
    source.skipLine();

    out += kRowInsert;
    appendInt(out, i);
    out += ',';
    sql::appendQuotedIds(out, fn, patientId, testId);
    // The record type 2 runs straight into d1: stored scripts have it so.
    out += ",2";
    appendInt(out, d[0]);
    for (int k = 1; k < kValuesPerRow; ++k) {
      out += ',';
      appendInt(out, d[k]);
    }
    out += "); \r\n";
  }
  out += "\r\n";
  script.close();
}

}  // namespace pelk
