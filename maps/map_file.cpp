#include "maps/map_file.h"

#include "common/format.h"
#include "common/text_appender.h"

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

void appendMapRow(std::string& out, const std::int32_t* sums, int count) {
  // A map file holds 263,169 sums: each is put through the appender's buffer, not appended alone.
  TextAppender row(out);
  for (int j = 0; j < count; ++j) {
    if (j == 0)
      row.putInt(sums[j], kSumWidth);
    else
      row.putIntColumn(sums[j], kSumWidth);
  }
  row.put("\r\n");
}

}  // namespace pelk
