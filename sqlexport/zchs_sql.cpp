#include "common/file_io.h"
#include "common/fixed_files.h"
#include "common/format.h"
#include "common/text_reader.h"
#include "sqlexport/script_parts.h"
#include "sqlexport/sql_export.h"

namespace pelk {
namespace {

// The zonal list has 101 slots, so no "zchs.dat" lists more zones than that.
constexpr int kMostZones = 101;

constexpr std::string_view kCreate =
    "create table if not exists zchs(idx int, fn text, patientId text,testId text, x int, "
    "intensity real);";

}  // namespace

void zchsSql(const std::string& fn, const std::string& patientId, const std::string& testId) {
  // The script is created before the zone list is opened: a missing list leaves it empty.
  OutFile script(kZchsScript);
  TextReader source = TextReader::open(fn);
  std::string& out = script.text();
  sql::appendOpening(out, kCreate);

  // Line 1 is the count followed by the words " glist idx", which must not be read as numbers.
  int count = source.readInt();
  source.skipLine();
  sql::checkCount(count, kMostZones, fn);
  for (int i = 1; i <= count; ++i) {
    double zone = source.readReal();
    double difference = source.readReal();
    source.skipLine();

    out += "insert into zchs(idx, fn, patientId, testId, x, intensity) values(";
    appendInt(out, i);
    out += ',';
    sql::appendQuotedIds(out, fn, patientId, testId);
    out += ',';
    appendReal(out, zone, 9, 0);
    out += ',';
    appendReal(out, difference, 9, 3);
    out += ");\r\n";
  }
  out += "\r\n";
  script.close();
}

}  // namespace pelk
