#include "common/bmp_header.h"

#include "common/file_io.h"
#include "common/io_error.h"

namespace pelk {

BmpSize readBmpSize(std::string_view bytes, const std::string& path, ModuleLog& log) {
  auto byteAt = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  BmpSize size;
  if (bytes.size() < 20) throw IoError("Read beyond end of file: " + path);
  int width = byteAt(18) + 256 * byteAt(19);
  log.add("X size is " + std::to_string(width));
  size.xmax = width - 1;
  if (bytes.size() < 24) throw IoError("Read beyond end of file: " + path);
  int height = byteAt(22) + 256 * byteAt(23);
  log.add("Y Size is " + std::to_string(height));
  size.ymax = height - 1;
  return size;
}

BmpSize readBmpSize(const std::string& path, ModuleLog& log) {
  return readBmpSize(readFileHead(path, 24), path, log);
}

}  // namespace pelk
