#include "tests/maps/mchs_maps.h"

#include "tests/support/files.h"

namespace pelk::test {

std::string mapText(const std::function<std::string(int row, int col)>& cell) {
  std::string s = "     100       5\r\nMean:       26.214\r\n";
  s.reserve(513 * (513 * 8 + 2) + s.size());
  for (int row = 0; row <= 512; ++row) {
    for (int col = 0; col <= 512; ++col) {
      std::string text = cell(row, col);
      s.append(text.size() < 8 ? 8 - text.size() : 1, ' ');
      s += text;
    }
    s += "\r\n";
  }
  return s;
}

void writeMap(const std::string& path, const std::function<long long(int row, int col)>& sum) {
  writeFile(path, mapText([&](int row, int col) { return std::to_string(sum(row, col)); }));
}

}  // namespace pelk::test
