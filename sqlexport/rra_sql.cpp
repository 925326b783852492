#include "common/file_io.h"
#include "common/fixed_files.h"
#include "common/format.h"
#include "sqlexport/script_parts.h"
#include "sqlexport/sql_export.h"

namespace pelk {
namespace {

// Both rank analyses export one row: idx 0 and the fixed file name "temp", since the result
// belongs to a pair of files rather than one.
void writeRraScript(const std::string& scriptName, std::string_view create, std::string_view insert,
                    const std::string& patientId, const std::string& testId, bool isSig,
                    double result) {
  OutFile script(scriptName);
  std::string& out = script.text();
  sql::appendOpening(out, create);
  out += "\r\n";
  out += insert;
  sql::appendQuotedIds(out, "temp", patientId, testId);
  out += ',';
  appendReal(out, result, 9, 3);
  out += isSig ? ",TRUE" : ",FALSE";
  out += ");\r\n\r\n";
  script.close();
}

}  // namespace

void rra1Sql(const std::string& patientId, const std::string& testId, bool isSig, double result) {
  writeRraScript(kRra1Script,
                 "create table if not exists rra1 (idx int,fn text, patientId text,testId text, "
                 "result real, isSig boolean);",
                 "insert into rra1 (idx, fn, patientId, testId, result, isSig) values(0,",
                 patientId, testId, isSig, result);
}

// RRA-2 results go into their own table; sending them into rra1 would overwrite the RRA-1
// results whenever both scripts are loaded.
void rra2Sql(const std::string& patientId, const std::string& testId, bool isSig, double result) {
  writeRraScript(kRra2Script,
                 "create table if not exists rra2 (idx int,fn text, patientId text,testId text, "
                 "result real, isSig boolean);",
                 "insert into rra2 (idx, fn, patientId, testId, result, isSig) values(0,",
                 patientId, testId, isSig, result);
}

}  // namespace pelk
