#pragma once
#include <algorithm>
#include <numeric>
#include <vector>

#include "common/exchange_sort.h"

namespace pelk {

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
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return keys[a] > keys[b]; });

  // rank[p]: the group of the entry at position p, 0 for the greatest key.
  std::vector<int> rank(static_cast<std::size_t>(n));
  std::vector<int> groupStart;
  for (int r = 0; r < n; ++r) {
    if (r == 0 || keys[order[r - 1]] > keys[order[r]]) groupStart.push_back(r);
    rank[order[r]] = static_cast<int>(groupStart.size()) - 1;
  }
  groupStart.push_back(n);

  std::vector<int> unmoved;               // positions of G entries still where they started
  std::vector<std::pair<int, int>> moved;  // (position, entry) of G entries that moved, by position
  for (int g = 0; g + 1 < static_cast<int>(groupStart.size()); ++g) {
    const int start = groupStart[g];  // |H|
    const int end = groupStart[g + 1];
    if (end - start < 2) continue;
    // f: the first position not holding an H entry. Passes before f exchange nothing that
    // concerns G. From f on, every pass before |H| finds a smaller key at i (an entry there
    // from the start, or one moved in when an earlier pass took the H entry from there) and
    // takes the first H entry not yet taken: pass f + k takes the k-th H position after f.
    // A group with no such passes keeps its entries' original order, which the stable sort gave.
    int f = 0;
    while (f < start && rank[f] < g) ++f;
    if (f >= start) continue;
    const std::size_t passes = static_cast<std::size_t>(start - f);

    unmoved.assign(order.begin() + start, order.begin() + end);
    std::sort(unmoved.begin(), unmoved.end());
    moved.clear();
    std::size_t u = 0;  // next unmoved entry
    std::size_t m = 0;  // next moved entry
    std::size_t rotation = 0;
    int c = f;  // the position the pass takes: the next H position
    // G entries always stand at or after the pass; the first of them moves to the position the
    // pass takes whenever it lies before that position. It lands behind every entry moved before
    // it, since the positions taken only rise.
    const std::size_t unmovedCount = unmoved.size();
    const int* const rankAt = rank.data();
    for (std::size_t k = 0; k < passes; ++k) {
      if (u == unmovedCount) {
        // Every entry has moved, so each pass left moves the first to the back, which only
        // rotates their order.
        rotation = (passes - k) % (moved.size() - m);
        break;
      }
      do ++c;
      while (rankAt[c] >= g);
      const bool firstMoved = m < moved.size() && moved[m].first < unmoved[u];
      if (firstMoved) {
        moved.emplace_back(c, moved[m].second);
        ++m;
      } else if (unmoved[u] < c) {
        moved.emplace_back(c, unmoved[u]);
        ++u;
      }
    }
    // G then ends up in the left-to-right order of its entries.
    int r = start;
    if (u == unmoved.size()) {
      for (std::size_t k = 0; k < moved.size() - m; ++k)
        order[r++] = moved[m + (k + rotation) % (moved.size() - m)].second;
      continue;
    }
    while (u < unmoved.size() || m < moved.size()) {
      if (m < moved.size() && (u == unmoved.size() || moved[m].first < unmoved[u]))
        order[r++] = moved[m++].second;
      else
        order[r++] = unmoved[u++];
    }
  }
  return order;
}

}  // namespace pelk
