#pragma once
#include <functional>
#include <string>

namespace pelk::test {

// An intensity map file as the map builder writes it: the two heading lines, then 513 rows of
// 513 sums in fields of 8. cell(row, col) gives each cell's text; rows and columns run 0..512.
std::string mapText(const std::function<std::string(int row, int col)>& cell);
// The same with whole-number sums.
void writeMap(const std::string& path, const std::function<long long(int row, int col)>& sum);

// The map row read for block row n of the highlight walk (n = 100 is read first).
constexpr int mapRowOf(int n) { return 101 - n; }

}  // namespace pelk::test
