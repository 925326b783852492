#include "maps/map_file.h"

#include "common/format.h"

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
  for (int j = 0; j < count; ++j) {
    if (j == 0)
      appendInt(out, sums[j], kSumWidth);
    else
      appendIntColumn(out, sums[j], kSumWidth);
  }
  out += "\r\n";
}

}  // namespace pelk
