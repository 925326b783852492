#include "common/file_io.h"
#include "common/fixed_files.h"
#include "common/format.h"
#include "common/text_reader.h"
#include "sqlexport/script_parts.h"
#include "sqlexport/sql_export.h"

namespace pelk {
namespace {

constexpr std::string_view kCreate =
    "create table if not exists mchs(idx int, fn text, patientId text,testId text, x int, y int, "
    "intensity real);";

// The title, an empty line, the column heading and another empty line precede the points.
constexpr int kHeadingLines = 4;

}  // namespace

void mchsSql(const std::string& fn, const std::string& patientId, const std::string& testId) {
  // The script is created before the results are opened: missing results leave it empty.
  OutFile script(kMchsScript);
  TextReader source = TextReader::open(fn);
  std::string& out = script.text();
  sql::appendOpening(out, kCreate);

  // Every insert starts alike, up to its numbers.
  std::string insert = "insert into mchs(fn, patientId, testId, idx, x, y, intensity) values(";
  sql::appendQuotedIds(insert, fn, patientId, testId);

  source.skipLines(kHeadingLines);
  while (!source.eof()) {
    int idx = source.readInt();
    int x = source.readInt();
    int y = source.readInt();
    double intensity = source.readReal();
    source.skipLine();  // Xb and Yb are not exported

    out += insert;
    for (int value : {idx, x, y}) {
      out += ',';
      appendInt(out, value, 5);
    }
    out += ',';
    appendReal(out, intensity, 9, 3);
    out += ");\r\n\r\n";
  }
  script.close();
}

}  // namespace pelk
