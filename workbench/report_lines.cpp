#include "workbench/report_lines.h"

#include "common/format.h"
#include "common/rounding.h"

namespace pelk {

std::string reportRule() { return std::string(55, '='); }

std::string rra1ResultLine(double value, bool significant) {
  std::string line = "Result: ";
  appendReal(line, value, 9, 3);
  line += " Determination: ";
  line += significant ? "Significant" : "Not Sigificant";
  return line;
}

std::string rra2ResultLine(double value, bool significant) {
  std::string line = "Result ";
  appendReal(line, value, 9, 3);
  line += " Determination: ";
  line += significant ? " Significant" : " Not Significant";
  return line;
}

std::string glistIndexLine(int count) {
  std::string line = "Glist idx is ";
  appendInt(line, static_cast<long long>(count) - 1, 5);
  return line;
}

std::string glistSlotLine(int k, const ZoneDifference& slot) {
  std::string line;
  appendInt(line, k, 5);
  line += ' ';
  appendReal(line, 100.0 - slot.r, 9, 3);
  line += " : ";
  appendReal(line, slot.d, 9, 3);
  return line;
}

long long reportXb(int x1) { return roundDivEven((512LL - x1) * 1225, 1000); }
long long reportYb(int y1) { return roundDivEven(static_cast<long long>(y1) * 795, 1000); }

std::string clusterRowLine(int k, const GateRegion& region) {
  std::string line;
  for (long long v : {static_cast<long long>(k), static_cast<long long>(region.x1),
                      static_cast<long long>(region.y1), static_cast<long long>(region.dx),
                      static_cast<long long>(region.dy), static_cast<long long>(region.area)}) {
    appendInt(line, v, 5);
    line += ' ';
  }
  appendReal(line, region.intensity, 9, 3);
  line += ' ';
  appendInt(line, reportXb(region.x1), 5);
  line += ' ';
  appendInt(line, reportYb(region.y1), 5);
  return line;
}

}  // namespace pelk
