#pragma once
#include <functional>
#include <string>
#include <vector>

namespace pelk::test {

// A bitmap file as the map passes see it: byte o of the file is value(o / width, o % width), so
// tests can speak in the pass's own rows and columns. Only the header's size bytes (18-19,
// 22-23) are set over it; the high halves of both size fields are taken from the arguments too.
std::string passBitmap(int width, int height, const std::function<int(int row, int col)>& value,
                       long long widthField = -1, long long heightField = -1);

// A map file read back: its lines and the numbers of each line from the third on.
struct MapText {
  std::vector<std::string> lines;
  std::vector<std::vector<long long>> cells;
  long long sum() const;
};
MapText readMap(const std::string& path);

}  // namespace pelk::test
