#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/file_io.h"
#include "maps/map_file.h"
#include "tests/support/files.h"
#include "tests/support/scratch_dir.h"

namespace pelk {
namespace {

class MapFileLayout : public test::ScratchDirTest {};

TEST_F(MapFileLayout, SumsTakeEightCharactersAndWideOnesNeverTouchTheirNeighbour) {
  OutFile out("layout.map");
  appendMapFirstLine(out.text());
  appendMapMeanLine(out.text(), 26.2144);
  const std::int32_t sums[] = {123456789, 0, 1234567, 12345678, -1234567, 7};
  appendMapRow(out, sums, 6);
  appendMapMeanLine(out.text(), 150.0625);  // an exact half rounds to even
  out.close();
  EXPECT_EQ(test::readFile("layout.map"),
            "     100       5\r\n"
            "Mean:       26.214\r\n"
            "123456789       0 1234567 12345678 -1234567       7\r\n"
            "Mean:      150.062\r\n");
}

TEST_F(MapFileLayout, TrailingZerosOfAnyRowLengthReadAsIfEachWereWritten) {
  // Rows of zeros only, rows ending in zeros, and rows longer than any map has, each whole and
  // with only its first sums held.
  std::string expected;
  OutFile out("zeros.map");
  for (int count : {0, 1, 5, 101, kLongestMapRow, kLongestMapRow + 40}) {
    for (int last : {-1, 0, count / 2, count - 1}) {
      if (last >= count) continue;
      std::vector<std::int32_t> sums(static_cast<std::size_t>(count), 0);
      if (last >= 0) sums[static_cast<std::size_t>(last)] = 42;
      std::string line;
      for (int k = 0; k < count; ++k) line += k == last ? "      42" : "       0";
      line += "\r\n";
      // The same row again with only its sums up to the last non-zero one held.
      appendMapRow(out, sums.data(), count);
      appendMapRow(out, sums.data(), last + 1, count);
      expected += line + line;
    }
  }
  out.close();
  EXPECT_EQ(test::readFile("zeros.map"), expected);
}

}  // namespace
}  // namespace pelk
