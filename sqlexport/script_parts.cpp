#include "sqlexport/script_parts.h"

#include "common/format.h"
#include "common/io_error.h"

namespace pelk::sql {

void appendOpening(std::string& out, std::string_view createStatement) {
  out += "use database pelk22\r\n\r\n";
  out += createStatement;
  out += "\r\n";
}

void appendQuoted(std::string& out, std::string_view text) {
  out += '"';
  out += text;
  out += '"';
}

void appendQuotedIds(std::string& out, std::string_view fn, std::string_view patientId,
                     std::string_view testId) {
  appendQuoted(out, fn);
  out += ',';
  appendQuoted(out, patientId);
  out += ',';
  appendQuoted(out, testId);
}

void checkCount(long long count, long long most, const std::string& sourceName) {
  if (count > most) throw IoError("Corrupt count " + intText(count) + " in " + sourceName);
}

}  // namespace pelk::sql
