#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "common/module_log.h"

namespace pelk {

// What the header reader yields: the last column index and the last row index.
struct BmpSize {
  std::int32_t xmax = -1;  // width - 1
  std::int32_t ymax = -1;  // height - 1
  std::int64_t width() const { return std::int64_t{xmax} + 1; }
  std::int64_t height() const { return std::int64_t{ymax} + 1; }
};

// The header reader every pixel-reading module runs: width from bytes 18-19, height from bytes
// 22-23 (the high halves of both fields are ignored, so sizes are taken modulo 65536). Appends
// "X size is " + width and "Y Size is " + height to the log. A file too short for a field is an
// IoError raised at that field, after the lines logged so far.
BmpSize readBmpSize(const std::string& path, ModuleLog& log);
// The same on a file already loaded in memory; `path` names it in the error message.
BmpSize readBmpSize(std::string_view bytes, const std::string& path, ModuleLog& log);

}  // namespace pelk
