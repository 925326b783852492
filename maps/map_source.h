#pragma once
#include <cstdint>
#include <string>

#include "common/bmp_header.h"
#include "common/module_log.h"

namespace pelk {

// A bitmap as the map passes see it: the whole file, binned from its first byte (headers and
// palette included), cut into rows of `width` bytes.
struct MapSource {
  std::string path;
  std::string bytes;
  BmpSize size;

  // A pass bins pixels only when both sizes are positive; otherwise the map stays all zeros.
  bool hasPixels() const { return size.width() > 0 && size.height() > 0; }
  std::int64_t pixelCount() const { return hasPixels() ? size.width() * size.height() : 0; }
  const unsigned char* row(std::int64_t r) const {
    return reinterpret_cast<const unsigned char*>(bytes.data()) + r * size.width();
  }

  // IoError "Image too small for intensity maps: NAME".
  [[noreturn]] void tooSmall() const;
  // IoError "Image too large for intensity maps: NAME".
  [[noreturn]] void tooLarge() const;
  // IoError "Read beyond end of file: NAME" when the file holds fewer than width x height bytes.
  void requirePixels() const;
};

// Reads the bitmap in one go and its size through the header reader, which logs the
// "X size is " and "Y Size is " lines.
MapSource loadMapSource(const std::string& path, ModuleLog& log);

}  // namespace pelk
