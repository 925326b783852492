#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/exchange_sort.h"
#include "common/format.h"
#include "common/rounding.h"

namespace pelk {
namespace {

TEST(Format, IntegersAreRightAlignedAndWiderNumbersWrittenInFull) {
  EXPECT_EQ(intText(5, 8), "       5");
  EXPECT_EQ(intText(-12, 5), "  -12");
  EXPECT_EQ(intText(123456, 5), "123456");
  EXPECT_EQ(intText(-7), "-7");
}

TEST(Format, RealsUseFixedPointAndHalvesOfTheBinaryValueGoToEven) {
  EXPECT_EQ(realText(26.2144, 12, 3), "      26.214");
  EXPECT_EQ(realText(60, 9, 3), "   60.000");
  EXPECT_EQ(realText(97, 9, 0), "       97");
  EXPECT_EQ(realText(-1, 9, 3), "   -1.000");
  EXPECT_EQ(realText(150.0625, 9, 3), "  150.062");
  EXPECT_EQ(realText(12345678.5, 8, 3), "12345678.500");
}

TEST(Format, ColumnNumbersThatFillTheirFieldGetOneBlankBefore) {
  std::string line;
  appendInt(line, 7, 5);
  appendIntColumn(line, 712345, 5);
  appendIntColumn(line, 42, 5);
  appendIntColumn(line, 12345, 5);
  EXPECT_EQ(line, "    7 712345   42 12345");
  std::string reals;
  appendRealColumn(reals, 180.5, 9, 3);
  appendRealColumn(reals, 123456.5, 9, 3);
  EXPECT_EQ(reals, "  180.500 123456.500");
}

TEST(Format, RealColumnsSeparateExactlyAtTheFieldWidth) {
  struct Case {
    double value;
    int width;
    const char* plain;
    const char* column;
  };
  const Case cases[] = {
      {1234.5, 9, " 1234.500", " 1234.500"},         // one short of the width: no extra blank
      {12345.5, 9, "12345.500", " 12345.500"},       // exactly fills it: one blank before
      {-1234.5, 9, "-1234.500", " -1234.500"},       // the sign counts towards the width
      {99999.9995, 9, "100000.000", " 100000.000"},  // rounding carries past the width
  };
  for (const Case& c : cases) {
    std::string column;
    appendRealColumn(column, c.value, c.width, 3);
    EXPECT_EQ(realText(c.value, c.width, 3), c.plain) << c.value;
    EXPECT_EQ(column, c.column) << c.value;
  }
}

TEST(Rounding, RoundGoesToTheEvenNeighbourOnExactHalves) {
  EXPECT_EQ(roundEven(0.5L), 0);
  EXPECT_EQ(roundEven(2.5L), 2);
  EXPECT_EQ(roundEven(3.5L), 4);
  EXPECT_EQ(roundEven(-2.5L), -2);
  EXPECT_EQ(roundEven(2.79L), 3);
  EXPECT_EQ(roundEven(-0.2L), 0);
  EXPECT_EQ(truncToInt(-3.9L), -3);
  EXPECT_EQ(truncToInt(1e30L), std::numeric_limits<long long>::max());
}

TEST(Rounding, ExactRatiosRoundTiesToEven) {
  // (512 - x1) x 1.225 and y1 x 0.795, in thousandths.
  EXPECT_EQ(roundDivEven(20 * 1225, 1000), 24);      // 24.5
  EXPECT_EQ(roundDivEven(60 * 1225, 1000), 74);      // 73.5
  EXPECT_EQ(roundDivEven(100 * 795, 1000), 80);      // 79.5
  EXPECT_EQ(roundDivEven(300 * 795, 1000), 238);     // 238.5
  EXPECT_EQ(roundDivEven(-489 * 1225, 1000), -599);  // -599.025
  EXPECT_EQ(roundDivEven(-5, 2), -2);
  EXPECT_EQ(roundDivEven(-7, 2), -4);
}

TEST(ExchangeSort, IsNotStableAndFollowsTheExchangeOrder) {
  // Areas 2, 1, 2, 3 found first..fourth are listed fourth, third, first, second.
  std::vector<std::pair<int, char>> items{{2, 'a'}, {1, 'b'}, {2, 'c'}, {3, 'd'}};
  exchangeSort(
      0, 3, [&](int j, int i) { return items[j].first > items[i].first; },
      [&](int i, int j) { std::swap(items[i], items[j]); });
  std::string order;
  for (auto& [v, name] : items) order += name;
  EXPECT_EQ(order, "dcab");
}

}  // namespace
}  // namespace pelk
