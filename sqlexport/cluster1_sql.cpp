#include "common/file_io.h"
#include "common/fixed_files.h"
#include "common/format.h"
#include "common/text_reader.h"
#include "sqlexport/script_parts.h"
#include "sqlexport/sql_export.h"

namespace pelk {
namespace {

// The gate finder holds at most this many regions, so no summary file it writes lists more.
constexpr int kMostRegions = 1000;

// The create statement has no area column although the inserts name one; stored scripts and
// the tables built from them have this shape, so it stays.
constexpr std::string_view kCreate =
    "create table if not exists cluster(idx int, fn text, patientId text,testId text, x int, "
    "y int, dx int, dy int, intensity real);";

}  // namespace

void cluster1Sql(const std::string& fn, const std::string& patientId, const std::string& testId) {
  // The script is created before the summary is opened: a missing summary leaves it empty.
  OutFile script(kCluster1Script);
  TextReader source = TextReader::open(fn);
  std::string& out = script.text();
  sql::appendOpening(out, kCreate);
  out += "\r\n";

  int count = source.readInt();
  source.skipLine();
  sql::checkCount(count, kMostRegions, fn);
  for (int i = 1; i <= count; ++i) {
    int x1 = source.readInt();
    int y1 = source.readInt();
    int dx = source.readInt();
    int dy = source.readInt();
    int area = source.readInt();
    double intensity = source.readReal();
    source.skipLine();  // xb and yb are not exported

    out += "insert into cluster(idx, fn, patientId, testId, x, y, dx, dy, area, intensity) \r\n";
    out += "values (";
    appendInt(out, i);
    out += ',';
    sql::appendQuotedIds(out, fn, patientId, testId);
    for (int value : {x1, y1, dx, dy, area}) {
      out += ',';
      appendInt(out, value);
    }
    out += ',';
    appendReal(out, intensity, 9, 3);
    out += ");\r\n";
  }
  out += "\r\n";
  script.close();
}

}  // namespace pelk
