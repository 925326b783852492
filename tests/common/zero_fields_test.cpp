#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/zero_fields.h"

namespace pelk {
namespace {

TEST(ZeroFields, TrailingZerosAreLeftOffUpToTheLastValueThatIsNot) {
  const std::vector<int> row{0, 5, 0, -3, 0, 0};
  EXPECT_EQ(withoutTrailingZeros(row.data(), 6), 4);
  EXPECT_EQ(withoutTrailingZeros(row.data(), 3), 2);
  const std::vector<int> zeros(9, 0);
  EXPECT_EQ(withoutTrailingZeros(zeros.data(), 9), 0);
  EXPECT_EQ(withoutTrailingZeros(zeros.data(), 0), 0);
  // The last value that is not zero at every place in rows around the eight-at-a-time step.
  for (int length = 1; length <= 40; ++length)
    for (int last = 0; last < length; ++last) {
      std::vector<int> values(static_cast<std::size_t>(length), 0);
      values[static_cast<std::size_t>(last)] = last % 2 == 0 ? -1 : 1 << 30;
      if (last > 0) values[0] = 7;
      ASSERT_EQ(withoutTrailingZeros(values.data(), length), last + 1) << length << "/" << last;
    }
}

TEST(ZeroFields, RepeatedFieldsEqualAppendingThemOneByOne) {
  for (std::size_t count : {0u, 1u, 2u, 3u, 7u, 8u, 9u, 412u, 513u}) {
    std::string fast = "row:";
    std::string plain = "row:";
    appendRepeated(fast, ",     0", count);
    for (std::size_t k = 0; k < count; ++k) plain += ",     0";
    EXPECT_EQ(fast, plain) << count;
  }
  std::string unchanged = "x";
  appendRepeated(unchanged, "", 5);
  EXPECT_EQ(unchanged, "x");
}

}  // namespace
}  // namespace pelk
