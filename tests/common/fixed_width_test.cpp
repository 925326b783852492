#include <climits>
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/field_run.h"
#include "common/fixed_width.h"
#include "common/format.h"

namespace pelk {
namespace {

// The rules written the plain way: right-aligned in the width, a wider number in full; a column
// number that fills or overflows its field gets one blank before it.
std::string plainInt(long long value, int width) {
  std::string digits = std::to_string(value);
  if (width > 0 && digits.size() < static_cast<std::size_t>(width))
    return std::string(static_cast<std::size_t>(width) - digits.size(), ' ') + digits;
  return digits;
}

std::string plainColumn(long long value, int width) {
  std::string digits = std::to_string(value);
  if (width <= 0 || digits.size() >= static_cast<std::size_t>(width)) return " " + digits;
  return plainInt(value, width);
}

std::vector<long long> edgeValues() {
  std::vector<long long> values{0, LLONG_MIN, LLONG_MAX, INT_MIN, INT_MAX, -1};
  long long p = 1;
  for (int digits = 1; digits <= 18; ++digits) {
    p *= 10;
    for (long long v : {p - 1, p, p + 1, p / 2}) {
      values.push_back(v);
      values.push_back(-v);
    }
  }
  return values;
}

const std::vector<int> kWidths{-3, 0,  1,  2,  3,  4,  5,  6,  8,  9,
                               12, 15, 16, 17, 20, 21, 40, 64, 65, 100};

TEST(FixedWidth, PutIntWritesWhatAppendIntAlwaysWrote) {
  for (long long v : edgeValues())
    for (int w : kWidths) {
      std::vector<char> buffer(kIntFieldRoom(w) + 8, '#');
      char* end = putInt(buffer.data(), v, w);
      ASSERT_EQ(std::string(buffer.data(), end), plainInt(v, w)) << v << " in " << w;
      ASSERT_EQ(intText(v, w), plainInt(v, w)) << v << " in " << w;
    }
}

TEST(FixedWidth, PutIntColumnSeparatesNumbersThatFillTheirField) {
  for (long long v : edgeValues())
    for (int w : kWidths) {
      std::vector<char> buffer(kIntFieldRoom(w) + 8, '#');
      char* end = putIntColumn(buffer.data(), v, w);
      ASSERT_EQ(std::string(buffer.data(), end), plainColumn(v, w)) << v << " in " << w;
      std::string appended;
      appendIntColumn(appended, v, w);
      ASSERT_EQ(appended, plainColumn(v, w)) << v << " in " << w;
    }
}

TEST(FieldRun, MapRowsOfZerosAndSumsMatchThePlainLayout) {
  // A map row as the map files lay it out: the first sum in 8 characters, the rest as columns.
  const std::vector<long long> sums{0, 7, 12345678, 1234567, 0, 99999999, -5, 0};
  std::string row;
  appendFieldRun(row, static_cast<int>(sums.size()), kIntFieldRoom(8), [&](char* at, int k) {
    return k == 0 ? putInt(at, sums[k], 8) : putIntColumn(at, sums[k], 8);
  });
  EXPECT_EQ(row, "       0       7 12345678 1234567       0 99999999      -5       0");
}

TEST(FieldRun, GivesTheSameTextAsAppendingFieldByField) {
  // Runs shorter and longer than a batch, and fields too wide for a batch.
  for (int count : {0, 1, 127, 128, 129, 513, 1000}) {
    for (int width : {1, 6, 8, 16, 60, 100}) {
      std::string fast = "head:";
      std::string plain = "head:";
      appendFieldRun(fast, count, 1 + kIntFieldRoom(width), [&](char* at, int k) {
        const long long v = (k * 7919LL) % 100003 - 5000 + (k % 7 == 0 ? LLONG_MAX / 3 : 0);
        *at++ = ',';
        return k % 2 == 0 ? putInt(at, v, width) : putIntColumn(at, v, width);
      });
      for (int k = 0; k < count; ++k) {
        const long long v = (k * 7919LL) % 100003 - 5000 + (k % 7 == 0 ? LLONG_MAX / 3 : 0);
        plain += ',';
        plain += k % 2 == 0 ? plainInt(v, width) : plainColumn(v, width);
      }
      ASSERT_EQ(fast, plain) << count << " fields of " << width;
    }
  }
}

}  // namespace
}  // namespace pelk
