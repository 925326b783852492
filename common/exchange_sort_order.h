#pragma once
#include <algorithm>
#include <numeric>
#include <vector>

#include "common/exchange_sort.h"

namespace pelk {

namespace exchange_detail {

// Counts marked positions before a position (a Fenwick tree).
class PositionCounter {
 public:
  explicit PositionCounter(int n) : tree_(static_cast<std::size_t>(n) + 1, 0) {}
  void add(int position) {
    for (std::size_t i = static_cast<std::size_t>(position) + 1; i < tree_.size();
         i += i & (~i + 1))
      ++tree_[i];
  }
  int before(int position) const {
    int count = 0;
    for (std::size_t i = static_cast<std::size_t>(position); i > 0; i -= i & (~i + 1))
      count += tree_[i];
    return count;
  }

 private:
  std::vector<int> tree_;
};

// Orders the group G held in order[start, end) (in original position order on entry), given f;
// G, H and the passes are those of the argument above exchangeSortOrder.
// From f on, pass k (1-based, k <= |H| - f) takes c_k, the k-th H position after f, and the G
// entry at the smallest position moves there when that position lies before c_k. So c_j < x
// exactly when j < 1 + (H positions before x) - f, and moved entries are kept as the pass that
// moved them last. Every stretch of passes in which no unmoved entry is reached only rotates the
// moved ones, so each is taken in one step.
inline void orderGroup(std::vector<int>& order, int start, int end, int f,
                       const PositionCounter& taken, std::vector<int>& unmoved,
                       std::vector<std::pair<int, int>>& queue,
                       std::vector<std::pair<int, int>>& next) {
  const int passes = start - f;
  // The first pass whose position lies beyond position x (x holds no H entry, x >= f).
  const auto firstPassBeyond = [&](int x) { return 1 + taken.before(x) - f; };
  unmoved.assign(order.begin() + start, order.begin() + end);
  std::sort(unmoved.begin(), unmoved.end());
  queue.clear();
  std::size_t u = 0;
  int k = 1;  // the next pass
  while (k <= passes && u < unmoved.size()) {
    const int beyond = firstPassBeyond(unmoved[u]);
    if (queue.empty()) {
      // Nothing moves until a pass takes a position beyond the first G entry.
      if (beyond > passes) break;
      k = std::max(k, beyond);
    } else {
      // The front of the queue moves to the back while it stands before unmoved[u]: first the
      // entries already in the queue that do, then (all of them having moved) entries moved by
      // passes before `beyond`.
      const std::size_t q = queue.size();
      std::size_t before = 0;
      while (before < q && queue[before].first < beyond) ++before;
      const long long wanted = before < q ? static_cast<long long>(before)
                                          : static_cast<long long>(q) + std::max(0, beyond - k);
      const auto turns = static_cast<std::size_t>(std::min<long long>(wanted, passes - k + 1));
      next.clear();
      if (turns <= q) {
        next.assign(queue.begin() + static_cast<std::ptrdiff_t>(turns), queue.end());
        for (std::size_t t = 0; t < turns; ++t)
          next.emplace_back(k + static_cast<int>(t), queue[t].second);
      } else {
        const int firstPass = k + static_cast<int>(turns - q);
        for (std::size_t t = 0; t < q; ++t)
          next.emplace_back(firstPass + static_cast<int>(t), queue[(turns + t) % q].second);
      }
      queue.swap(next);
      k += static_cast<int>(turns);
      if (k > passes) break;
    }
    queue.emplace_back(k, unmoved[u]);
    ++u;
    ++k;
  }
  // G then ends up in the left-to-right order of its entries.
  int r = start;
  if (u == unmoved.size()) {
    // Every entry has moved, so each pass left moves the first to the back.
    const std::size_t rotation =
        k <= passes ? static_cast<std::size_t>(passes - k + 1) % queue.size() : 0;
    for (std::size_t t = 0; t < queue.size(); ++t)
      order[r++] = queue[(t + rotation) % queue.size()].second;
    return;
  }
  std::size_t m = 0;
  while (u < unmoved.size() || m < queue.size()) {
    if (m < queue.size() && (u == unmoved.size() || queue[m].first < firstPassBeyond(unmoved[u])))
      order[r++] = queue[m++].second;
    else order[r++] = unmoved[u++];
  }
}

}  // namespace exchange_detail

// Where exchangeSort leaves entries ranked by a key (entry j ranks above entry i when
// key[j] > key[i]), found without its n x n / 2 comparisons and exchanges: lists of thousands of
// MCHS points made that procedure the slowest step of a command.
// Returns order[r] = the index in `keys` of the entry that exchangeSort puts at rank r.
//
// Why this gives the same order. Pass i of exchangeSort carries the leftmost greatest remaining
// key to position i along a chain of rising keys, each chain entry moving to the next chain
// position; so entries with different keys end up largest first, and only the order within a
// group G of equal keys v needs working out. Call the entries with larger keys H. While H
// entries remain (passes i < |H|) a pass whose position i holds H exchanges only H entries.
// Otherwise the chain's first H entry is the first H entry after i, at c, and a G entry is in
// the chain only as the entry just before c: the one at i itself, or else the first G entry
// between i and c. That entry moves to c. Once only keys up to v remain, each pass takes the
// leftmost G entry, so G ends up in the left-to-right order its entries have after pass |H| - 1.
// Keys must be ordered by > (no NaN); a list holding NaN is ordered by exchangeSort itself.
template <class Key>
std::vector<int> exchangeSortOrder(const std::vector<Key>& keys) {
  const int n = static_cast<int>(keys.size());
  std::vector<int> order(static_cast<std::size_t>(n));
  std::iota(order.begin(), order.end(), 0);
  for (const Key& k : keys) {
    if (!(k == k)) {
      std::vector<Key> work = keys;
      exchangeSort(
          0, n - 1, [&](int j, int i) { return work[j] > work[i]; },
          [&](int i, int j) {
            std::swap(work[i], work[j]);
            std::swap(order[i], order[j]);
          });
      return order;
    }
  }
  using exchange_detail::orderGroup;
  using exchange_detail::PositionCounter;
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return keys[a] > keys[b]; });

  // rank[p]: the group of the entry at position p, 0 for the greatest key.
  std::vector<int> rank(static_cast<std::size_t>(n));
  std::vector<int> groupStart;
  for (int r = 0; r < n; ++r) {
    if (r == 0 || keys[order[r - 1]] > keys[order[r]]) groupStart.push_back(r);
    rank[order[r]] = static_cast<int>(groupStart.size()) - 1;
  }
  groupStart.push_back(n);

  // Positions holding an entry of a group already worked through: H for the group at hand.
  PositionCounter taken(n);
  std::vector<int> unmoved;  // positions of G entries still where they started
  std::vector<std::pair<int, int>>
      queue;  // (pass, entry) of G entries that moved, in position order
  std::vector<std::pair<int, int>> next;
  int f = 0;
  for (int g = 0; g + 1 < static_cast<int>(groupStart.size()); ++g) {
    const int start = groupStart[g];  // |H|
    const int end = groupStart[g + 1];
    // f: the first position not holding an H entry; it only moves right as H grows. Passes
    // before f exchange nothing that concerns G, and a group with no pass after f keeps its
    // entries' original order, which the stable sort gave.
    while (f < start && rank[f] < g) ++f;
    if (end - start >= 2 && f < start)
      orderGroup(order, start, end, f, taken, unmoved, queue, next);
    for (int r = start; r < end; ++r) taken.add(order[r]);
  }
  return order;
}

}  // namespace pelk
