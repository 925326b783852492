#include <array>

#include "common/field_run.h"
#include "common/file_io.h"
#include "common/fixed_files.h"
#include "common/fixed_width.h"
#include "common/format.h"
#include "common/text_reader.h"
#include "common/zero_fields.h"
#include "sqlexport/script_parts.h"
#include "sqlexport/sql_export.h"

namespace pelk {
namespace {

constexpr std::string_view kCreate =
    "create table if not exists map1 (idx int, fn text, patientId text, testId text, "
    "rectype int, result real, isSig boolean, d1[520] int);";

// Block rows 0..511 are exported, 512 sums each; the 513th sum of a row and the last row are not.
constexpr int kRecords = 512;
constexpr int kSumsPerRecord = 512;
constexpr int kSumWidth = 6;

// Enough for the lines of a record up to its first zero, with sums of up to six digits and short
// ids, so the script is built without the buffer growing. Block columns past 100 never hold a
// sum: the zeros from there on are not copied.
constexpr std::size_t kRecordBytes = 64 + 110 + 101 * (kSumWidth + 1);

}  // namespace

void map1Sql(const std::string& fn, const std::string& patientId, const std::string& testId) {
  // The script is created before the map is opened: a missing map leaves it empty.
  OutFile script(kMap1Script);
  // Read a part at a time: the map is 2 MB, and only the script's own text need be held.
  TextReader source = TextReader::openInParts(fn);
  std::string& out = script.text();
  out.reserve(256 + kRecords * (kRecordBytes + fn.size() + patientId.size() + testId.size()));
  sql::appendOpening(out, kCreate);
  out += "\r\n";

  // What follows the index of every record, up to its sums.
  std::string afterIndex = ",";
  sql::appendQuotedIds(afterIndex, fn, patientId, testId);
  afterIndex += ",1,\r\n";
  static const FinishedRun zeroRecord(",     0", kSumsPerRecord, ");\r\n");
  source.skipLines(2);  // the size line and the mean line
  std::array<int, kSumsPerRecord> sums{};
  for (int i = 1; i <= kRecords; ++i) {
    source.readInts(sums.data(), sums.size());
    source.skipLine();

    out += "insert into map1(idx, fn, patientId, testId, recType, d1[])\r\n values(";
    appendInt(out, i);
    out += afterIndex;
    // 512 numbers a line, each after a comma but the first.
    const int written = withoutTrailingZeros(sums.data(), kSumsPerRecord);
    appendFieldRun(out, written, 1 + kIntFieldRoom(kSumWidth), [&sums](char* at, int k) {
      if (k > 0) *at++ = ',';
      return putInt(at, sums[static_cast<std::size_t>(k)], kSumWidth);
    });
    // The zeros after the last sum, and the end of the statement, are taken by reference from
    // a finished record of zeros; a record of zeros alone starts without a comma.
    std::string_view tail = zeroRecord.last(static_cast<std::size_t>(kSumsPerRecord - written));
    if (written == 0) tail.remove_prefix(1);
    script.appendLasting(tail);
  }
  out += "\r\n";
  script.close();
}

}  // namespace pelk
