#include <climits>
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/fixed_width.h"
#include "common/format.h"
#include "common/text_appender.h"

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

const std::vector<int> kWidths{-3, 0, 1, 2, 3, 4, 5, 6, 8, 9, 12, 15, 16, 17, 20, 21, 40, 64, 65, 100};

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

TEST(FixedWidth, MapRowsOfZerosAndSumsMatchThePlainLayout) {
  // A map row as the map files lay it out: the first sum in 8 characters, the rest as columns.
  const std::vector<long long> sums{0, 7, 12345678, 1234567, 0, 99999999, -5, 0};
  std::string fast;
  {
    TextAppender row(fast);
    for (std::size_t k = 0; k < sums.size(); ++k)
      k == 0 ? row.putInt(sums[k], 8) : row.putIntColumn(sums[k], 8);
  }
  EXPECT_EQ(fast, "       0       7 12345678 1234567       0 99999999      -5       0");
}

TEST(TextAppender, GivesTheSameTextAsAppendingPieceByPiece) {
  // Enough numbers to fill the appender's buffer several times over, and texts of every size.
  std::string fast = "head:";
  std::string plain = "head:";
  {
    TextAppender out(fast);
    for (int k = 0; k < 5000; ++k) {
      const long long v = (k * 7919LL) % 100003 - 5000;
      const int w = k % 11;
      out.putInt(v, w);
      plain += plainInt(v, w);
      out.putIntColumn(v, w + 1);
      plain += plainColumn(v, w + 1);
      out.put(',');
      plain += ',';
      if (k % 97 == 0) {
        const std::string text(static_cast<std::size_t>(k % 300), 'x');
        out.put(text);
        plain += text;
      }
      out.putFixed<5>("ab,cd");
      plain += "ab,cd";
    }
    const std::string huge(20000, 'y');
    out.put(huge);
    plain += huge;
    out.putInt(42, 9000);
    plain += plainInt(42, 9000);
  }
  EXPECT_EQ(fast, plain);
}

}  // namespace
}  // namespace pelk
