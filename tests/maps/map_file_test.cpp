#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "maps/map_file.h"

namespace pelk {
namespace {

TEST(MapFileLayout, SumsTakeEightCharactersAndWideOnesNeverTouchTheirNeighbour) {
  std::string text;
  appendMapFirstLine(text);
  appendMapMeanLine(text, 26.2144);
  const std::int32_t sums[] = {123456789, 0, 1234567, 12345678, -1234567, 7};
  appendMapRow(text, sums, 6);
  EXPECT_EQ(text,
            "     100       5\r\n"
            "Mean:       26.214\r\n"
            "123456789       0 1234567 12345678 -1234567       7\r\n");
  text.clear();
  appendMapMeanLine(text, 150.0625);  // an exact half rounds to even
  EXPECT_EQ(text, "Mean:      150.062\r\n");
}

}  // namespace
}  // namespace pelk
