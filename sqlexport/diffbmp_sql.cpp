#include <algorithm>
#include <array>
#include <cstring>

#include "common/field_run.h"
#include "common/file_io.h"
#include "common/fixed_files.h"
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

// Every byte but a record's last is written as a four-wide number and a comma: the 256 possible
// texts are made once, so the 263,000 bytes of a scan are copied, not formatted.
constexpr std::size_t kByteFieldChars = 5;
using ByteField = std::array<char, kByteFieldChars>;

std::array<ByteField, 256> makeByteFields() {
  std::array<ByteField, 256> fields{};
  for (int b = 0; b < 256; ++b) {
    std::string text;
    appendInt(text, b, 4);
    text += ',';
    std::copy(text.begin(), text.end(), fields[static_cast<std::size_t>(b)].begin());
  }
  return fields;
}

const std::array<ByteField, 256> byteFields = makeByteFields();

}  // namespace

void diffbmpSql(const std::string& fn, const std::string& patientId, const std::string& testId) {
  // The script is created before the bitmap is opened: a missing bitmap leaves it empty.
  OutFile script(kDiffbmpScript);
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
    appendFieldRun(
        out, static_cast<int>(kRecordSize) - 1, kByteFieldChars, [&record](char* at, int k) {
          std::memcpy(at, byteFields[record[static_cast<std::size_t>(k)]].data(), kByteFieldChars);
          return at + kByteFieldChars;
        });
    appendInt(out, record[kRecordSize - 1], 5);
    out += ");\r\n";
  }
  out += "\r\n";
  script.close();
}

}  // namespace pelk
