#pragma once
#include <string>

namespace pelk::bench {

// The generated scans a benchmark runs on, written as nominal 8-bit grey bitmaps (1078-byte
// header and palette, then width x height pixel bytes) into the current directory.
// - "std.bmp": smooth anatomy-like shading with noise;
// - "ref.bmp": the same with a grid of small brighter patches, so the difference image holds
//   many separate bright regions for the gate finder;
// - "third.bmp": the same with fewer, larger patches, so tumour progression sees a change.
struct ScanSet {
  int size = 0;
  std::string standard = "std.bmp";
  std::string reference = "ref.bmp";
  std::string third = "third.bmp";
};

// Writes the three scans of side `size` (square) and returns their names.
ScanSet writeScanSet(int size);

// The same three scans with each pixel row padded to a multiple of four bytes, as real bitmaps
// store them, for the readers that hold a file to that layout (the robust analysis); the legacy
// modules read the unpadded ones. Where the side is a multiple of four they are the scans
// themselves and nothing is written.
ScanSet writePaddedScanSet(int size);

}  // namespace pelk::bench
