#include <algorithm>
#include <array>

#include "common/file_io.h"
#include "common/format.h"
#include "sqlexport/script_parts.h"
#include "sqlexport/sql_export.h"

namespace pelk {
namespace {

constexpr std::string_view kCreate =
    "create table if not exists diffbmp(idx int, fn text, patientId text,testId text, "
    "d1[256] int);";

constexpr std::size_t kRecordSize = 256;

// The byte line of a record: 255 four-wide numbers and one five-wide, about 1030 characters;
// the two statement lines before it add the ids.
constexpr std::size_t kRecordBytes = 120 + (kRecordSize - 1) * 5 + 7;

}  // namespace

void diffbmpSql(const std::string& fn, const std::string& patientId, const std::string& testId) {
  // The script is created before the bitmap is opened: a missing bitmap leaves it empty.
  OutFile script("diffbmp.sql");
  const std::string bytes = readWholeFile(fn);
  std::string& out = script.text();
  std::size_t records = (bytes.size() + kRecordSize - 1) / kRecordSize;
  out.reserve(256 + records * (kRecordBytes + fn.size() + patientId.size() + testId.size()));
  sql::appendOpening(out, kCreate);
  out += "\r\n";

  // A short last record overwrites only the positions it has bytes for; the rest keep the
  // previous record's bytes, and positions never read at all stay 0.
  std::array<unsigned char, kRecordSize> record{};
  for (std::size_t r = 0; r < records; ++r) {
    std::size_t start = r * kRecordSize;
    std::size_t length = std::min(kRecordSize, bytes.size() - start);
    std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(start), length, record.begin());

    out += "insert into diffbmp(idx, fn, patientId, testId, d1[]) \r\n values(";
    appendInt(out, static_cast<long long>(r));
    out += ',';
    sql::appendQuotedIds(out, fn, patientId, testId);
    out += ",\r\n";
    for (std::size_t k = 0; k + 1 < kRecordSize; ++k) {
      appendInt(out, record[k], 4);
      out += ',';
    }
    appendInt(out, record[kRecordSize - 1], 5);
    out += ");\r\n";
  }
  out += "\r\n";
  script.close();
}

}  // namespace pelk
