#include <array>
#include <cmath>
#include <cstdint>
#include <memory>

#include "common/format.h"
#include "common/io_error.h"
#include "common/text_reader.h"
#include "profiles/tform102.h"

namespace pelk {
namespace {

constexpr int kCells = 100;
using MapCells = std::array<std::array<std::int32_t, kCells>, kCells>;

const char* const kRule = "========================================================";

// Reads the cells with block row and column 0..99: the map's two header lines are skipped and
// whatever a line holds past its 100th value is ignored.
void readMapCells(const std::string& fileName, MapCells& cells) {
  TextReader in = TextReader::openInParts(fileName);
  in.skipLines(2);
  for (auto& row : cells) {
    in.readInts(row.data(), kCells);
    in.skipLine();
  }
}

// Empty cells count as 0.001, as the profile comparison treats empty bands.
double cellValue(std::int32_t x) {
  double v = x;
  return std::fabs(v) > 0.001 ? v : 0.001;
}

}  // namespace

void TForm102::setRRA2Files(const std::string& file1, const std::string& file2) {
  rra2File1 = file1;
  rra2File2 = file2;
}

void TForm102::performRRA2() {
  if (rra2File1.empty() || rra2File2.empty()) throw IoError("No map files given for RRA-2");
  // The first 100 x 100 cells of the two maps; every cell is read afresh each run.
  const auto cells = std::make_unique<std::array<MapCells, 2>>();
  const MapCells& gridA = (*cells)[0];
  const MapCells& gridB = (*cells)[1];
  readMapCells(rra2File1, (*cells)[0]);
  readMapCells(rra2File2, (*cells)[1]);

  // The accumulator starts at 10000 so identical maps score 1, not 0.
  double s = 10000.0;
  for (int r = 0; r < kCells; ++r)
    for (int k = 0; k < kCells; ++k)
      s = s + 4.0 * std::fabs(cellValue(gridA[r][k]) - cellValue(gridB[r][k]));
  double value = s / 10000.0;

  Memo1.add("RRA for Sample is " + realText(value, 8, 3));
  Memo1.add("Processing Completed");
  rankConclusionReport(patientMriFile, baselineFile, value);
}

void TForm102::rankConclusionReport(const std::string& fileA, const std::string& fileB,
                                    double value) {
  Memo1.addEmpty();
  Memo1.add(kRule);
  Memo1.add("Relative Rank Conclusion Report ");
  Memo1.add("For Patient " + patientName + " and Patient-ID " + patientId);
  Memo1.addEmpty();
  Memo1.add("The result of comparing files: " + fileA + " and " + fileB);
  rra2Value = value;
  rra2Significant = value >= 10.0;
  Memo1.add(rra2Significant ? "is that the result is SIGNIFICANT"
                            : "is that the result is not significant");
  Memo1.addEmpty();
  Memo1.add("The value of test is " + realText(value, 8, 3));
  Memo1.add(kRule);
  Memo1.addEmpty();
}

}  // namespace pelk
