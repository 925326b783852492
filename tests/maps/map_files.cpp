#include "tests/maps/map_files.h"

#include <sstream>

#include "tests/support/files.h"

namespace pelk::test {

std::string passBitmap(int width, int height, const std::function<int(int, int)>& value,
                       long long widthField, long long heightField) {
  std::size_t size = static_cast<std::size_t>(width) * height;
  std::string bytes(std::max<std::size_t>(size, 26), '\0');
  for (std::size_t o = 0; o < size; ++o)
    bytes[o] = static_cast<char>(value(static_cast<int>(o / width), static_cast<int>(o % width)));
  auto put32 = [&](std::size_t at, long long v) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  put32(18, widthField >= 0 ? widthField : width);
  put32(22, heightField >= 0 ? heightField : height);
  return bytes;
}

long long MapText::sum() const {
  long long total = 0;
  for (const auto& row : cells)
    for (long long v : row) total += v;
  return total;
}

MapText readMap(const std::string& path) {
  MapText map;
  map.lines = crlfLines(readFile(path));
  for (std::size_t i = 2; i < map.lines.size(); ++i) {
    std::istringstream in(map.lines[i]);
    std::vector<long long> row;
    long long v = 0;
    while (in >> v) row.push_back(v);
    map.cells.push_back(std::move(row));
  }
  return map;
}

}  // namespace pelk::test
