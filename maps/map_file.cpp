#include "maps/map_file.h"

#include "common/field_run.h"
#include "common/file_io.h"
#include "common/fixed_width.h"
#include "common/format.h"
#include "common/zero_fields.h"

namespace pelk {

namespace {
constexpr int kSumWidth = 8;
}

void appendMapFirstLine(std::string& out) {
  appendInt(out, 100, kSumWidth);
  appendIntColumn(out, 5, kSumWidth);
  out += "\r\n";
}

void appendMapMeanLine(std::string& out, double mean) {
  out += "Mean: ";
  appendReal(out, mean, 12, 3);
  out += "\r\n";
}

void appendMapRow(OutFile& out, const std::int32_t* sums, int count) {
  appendMapRow(out, sums, count, count);
}

void appendMapRow(OutFile& out, const std::int32_t* sums, int summed, int columns) {
  // A map file holds 263,169 sums, nearly all of them zeros past block 100: the sums up to the
  // last one that is not zero are written, and the zeros after it, with the line end, are taken
  // by reference from a finished row of zeros (a zero is "       0" first in a row and as a
  // column alike).
  static const FinishedRun zeroRow("       0", kLongestMapRow, "\r\n");
  const int written = withoutTrailingZeros(sums, summed);
  std::string& text = out.text();
  appendFieldRun(text, written, kIntFieldRoom(kSumWidth), [sums](char* at, int j) {
    return j == 0 ? putInt(at, sums[j], kSumWidth) : putIntColumn(at, sums[j], kSumWidth);
  });
  const auto zeros = static_cast<std::size_t>(columns - written);
  if (zeros <= zeroRow.count()) {
    out.appendLasting(zeroRow.last(zeros));
  } else {
    appendRepeated(text, "       0", zeros);
    text += "\r\n";
  }
}

}  // namespace pelk
