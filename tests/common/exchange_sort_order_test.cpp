#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "common/exchange_sort.h"
#include "common/exchange_sort_order.h"

namespace pelk {
namespace {

// The plain procedure on (key, entry) pairs: the order every list had before the fast one.
template <class Key>
std::vector<int> plainOrder(std::vector<Key> keys) {
  std::vector<int> entries(keys.size());
  for (std::size_t k = 0; k < entries.size(); ++k) entries[k] = static_cast<int>(k);
  exchangeSort(
      0, static_cast<int>(keys.size()) - 1, [&](int j, int i) { return keys[j] > keys[i]; },
      [&](int i, int j) {
        std::swap(keys[i], keys[j]);
        std::swap(entries[i], entries[j]);
      });
  return entries;
}

TEST(ExchangeSortOrder, EmptyAndSingleLists) {
  EXPECT_TRUE(exchangeSortOrder(std::vector<int>{}).empty());
  EXPECT_EQ(exchangeSortOrder(std::vector<int>{7}), std::vector<int>{0});
}

TEST(ExchangeSortOrder, TiesEndWhereTheExchangesLeaveThem) {
  // Pass 0 carries 9 to the front and the 5 at position 0 to where the 9 was, past the other 5.
  const std::vector<int> keys{5, 5, 9, 1};
  EXPECT_EQ(plainOrder(keys), (std::vector<int>{2, 1, 0, 3}));
  EXPECT_EQ(exchangeSortOrder(keys), plainOrder(keys));
}

TEST(ExchangeSortOrder, MatchesThePlainProcedureOnListsFullOfTies) {
  std::mt19937 random(20261208);
  for (int trial = 0; trial < 3000; ++trial) {
    const int n = static_cast<int>(random() % 120);
    const int distinct = 1 + static_cast<int>(random() % 12);
    std::vector<int> keys(static_cast<std::size_t>(n));
    for (int& k : keys) k = static_cast<int>(random() % distinct);
    ASSERT_EQ(exchangeSortOrder(keys), plainOrder(keys)) << "trial " << trial;
  }
}

TEST(ExchangeSortOrder, MatchesThePlainProcedureOnRisingAndFallingRuns) {
  std::mt19937 random(7);
  for (int trial = 0; trial < 500; ++trial) {
    const int n = 1 + static_cast<int>(random() % 300);
    std::vector<double> keys(static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k) {
      const int run = static_cast<int>(random() % 4);
      keys[k] = run == 0 ? k / 3 : (run == 1 ? (n - k) / 5 : static_cast<int>(random() % 20));
    }
    ASSERT_EQ(exchangeSortOrder(keys), plainOrder(keys)) << "trial " << trial;
  }
}

TEST(ExchangeSortOrder, MatchesThePlainProcedureOnListsAsLongAsMchsPoints) {
  std::mt19937 random(3416);
  for (int trial = 0; trial < 4; ++trial) {
    std::vector<double> keys(3000);
    for (std::size_t k = 0; k < keys.size(); ++k)
      keys[k] = static_cast<double>((k * 7 + random() % 900) / 3);  // rising, with ties
    ASSERT_EQ(exchangeSortOrder(keys), plainOrder(keys)) << "trial " << trial;
  }
}

TEST(ExchangeSortOrder, MatchesThePlainProcedureWithLargeGroupsAmongDistinctKeys) {
  // Long stretches of passes between the moves of a large group, the case taken in one step.
  std::mt19937 random(99);
  for (int trial = 0; trial < 400; ++trial) {
    const int n = 2 + static_cast<int>(random() % 400);
    const int groups = 1 + static_cast<int>(random() % 4);
    std::vector<int> keys(static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k)
      keys[k] = random() % 3 == 0 ? static_cast<int>(random() % groups) * 1000
                                  : static_cast<int>(random() % 5000);
    ASSERT_EQ(exchangeSortOrder(keys), plainOrder(keys)) << "trial " << trial;
  }
}

TEST(ExchangeSortOrder, NegativeAndPositiveZeroAreOneTie) {
  const std::vector<double> keys{0.0, -0.0, 3.0, 0.0, -0.0, 1.0, -0.0};
  const std::vector<int> order = exchangeSortOrder(keys);
  EXPECT_EQ(order, plainOrder(keys));
  // The zeros keep their signs through the permutation.
  EXPECT_TRUE(std::signbit(keys[order[3]]) == std::signbit(keys[plainOrder(keys)[3]]));
}

TEST(ExchangeSortOrder, NotANumberTakesThePlainProcedure) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const std::vector<double> keys{1.0, nan, 3.0, 2.0, nan, 3.0};
  EXPECT_EQ(exchangeSortOrder(keys), plainOrder(keys));
}

}  // namespace
}  // namespace pelk
