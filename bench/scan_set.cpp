#include "bench/scan_set.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <stdexcept>

#include "common/bmp_writer.h"

namespace pelk::bench {
namespace {

std::string header(int width, int height, std::size_t rowBytes) {
  std::string s;
  appendBmpHeader(s, {.width = width,
                      .height = height,
                      .pixelBytes = static_cast<std::uint32_t>(rowBytes * height)});
  return s;
}

// A fixed pseudo-random sequence, so every run benchmarks the same bytes.
std::uint32_t noise(std::uint32_t x) {
  x ^= x >> 16;
  x *= 0x7feb352dU;
  x ^= x >> 15;
  x *= 0x846ca68bU;
  x ^= x >> 16;
  return x;
}

int shading(int row, int col, int size) {
  const double cx = (col - size / 2.0) / size;
  const double cy = (row - size / 2.0) / size;
  const double r = std::sqrt(cx * cx + cy * cy);
  const double body = r < 0.42 ? 150.0 - 180.0 * r * r : 20.0;
  const int jitter = static_cast<int>(noise(static_cast<std::uint32_t>(row * 7919 + col)) % 9) - 4;
  const int v = static_cast<int>(body) + jitter;
  return v < 0 ? 0 : (v > 200 ? 200 : v);
}

// A patch raises the pixels by 60, which the difference image doubles to 120: above the gate
// finder's threshold of 100, so every patch becomes a region of its own.
bool inPatch(int row, int col, int pitch, int side) {
  return row % pitch >= 2 && row % pitch < 2 + side && col % pitch >= 3 && col % pitch < 3 + side;
}

void writeFile(const std::string& path, const std::string& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) throw std::runtime_error("cannot create " + path);
  const std::size_t put = std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
  if (put != bytes.size()) throw std::runtime_error("cannot write " + path);
}

void writeScan(const std::string& path, int size, int pitch, int side, bool paddedRows = false) {
  const std::size_t rowBytes = paddedRows ? bmpRowBytes(size, 8) : static_cast<std::size_t>(size);
  std::string bytes = header(size, size, rowBytes);
  bytes.reserve(bytes.size() + rowBytes * size);
  for (int row = 0; row < size; ++row) {
    for (int col = 0; col < size; ++col) {
      int v = shading(row, col, size);
      if (pitch > 0 && inPatch(row, col, pitch, side)) v = std::min(v + 60, 255);
      bytes.push_back(static_cast<char>(v));
    }
    bytes.append(rowBytes - static_cast<std::size_t>(size), '\0');
  }
  writeFile(path, bytes);
}

struct ScanPattern {
  std::string ScanSet::*name;
  int pitch;
  int side;
};
constexpr ScanPattern kPatterns[] = {
    {&ScanSet::standard, 0, 0}, {&ScanSet::reference, 16, 7}, {&ScanSet::third, 40, 19}};

}  // namespace

ScanSet writeScanSet(int size) {
  ScanSet set;
  set.size = size;
  for (const ScanPattern& p : kPatterns) writeScan(set.*p.name, size, p.pitch, p.side);
  return set;
}

ScanSet writePaddedScanSet(int size) {
  ScanSet set;
  set.size = size;
  if (bmpRowBytes(size, 8) == static_cast<std::size_t>(size)) return set;
  for (const ScanPattern& p : kPatterns) {
    std::string& name = set.*p.name;
    name.insert(name.size() - 4, "-padded");
    writeScan(name, size, p.pitch, p.side, true);
  }
  return set;
}

}  // namespace pelk::bench
