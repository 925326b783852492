#pragma once
#include <cstddef>
#include <string>

#include "tests/support/files.h"

namespace pelk::test {

// An image as the gate finder and FG-1 read it: X stored rows (grid index a) of Y bytes each
// (grid index b), the header's width field holding X and its height field Y.
struct GateImage {
  int rows;     // X
  int columns;  // Y
  std::string pixels;

  GateImage(int x, int y, int fill = 0)
      : rows(x), columns(y), pixels(static_cast<std::size_t>(x) * y, static_cast<char>(fill)) {}

  void set(int a, int b, int value) {
    pixels[static_cast<std::size_t>(a) * columns + b] = static_cast<char>(value);
  }
  // Bytes of the file with the pixels starting at `pixelStart` (1078 for the gate finder, 1025
  // for FG-1, which leaves the rest of the palette as pixel data).
  std::string bytes(std::size_t pixelStart = 1078) const {
    return bmpBytes(rows, columns, std::string()).substr(0, pixelStart) + pixels;
  }
  void write(const std::string& path, std::size_t pixelStart = 1078) const {
    writeFile(path, bytes(pixelStart));
  }
};

}  // namespace pelk::test
