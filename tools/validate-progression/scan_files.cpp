#include "tools/validate-progression/scan_files.h"

#include "common/file_io.h"

namespace pelk::validation {
namespace {

void put32(std::string& s, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

}  // namespace

void writeScanBitmap(const std::string& path, const cv::Mat& scan) {
  const std::size_t stride = (static_cast<std::size_t>(scan.cols) + 3) / 4 * 4;
  std::string s(1078 + stride * scan.rows, '\0');
  s[0] = 'B';
  s[1] = 'M';
  put32(s, 2, static_cast<std::uint32_t>(s.size()));
  put32(s, 10, 1078);
  put32(s, 14, 40);
  put32(s, 18, static_cast<std::uint32_t>(scan.cols));
  put32(s, 22, static_cast<std::uint32_t>(scan.rows));
  s[26] = 1;
  s[28] = 8;
  put32(s, 34, static_cast<std::uint32_t>(stride * scan.rows));
  put32(s, 46, 256);
  for (int i = 0; i < 256; ++i) s[54 + 4 * i] = s[55 + 4 * i] = s[56 + 4 * i] = static_cast<char>(i);
  for (int y = 0; y < scan.rows; ++y) {
    const auto* row = scan.ptr<std::uint8_t>(y);
    std::copy(row, row + scan.cols, s.begin() + 1078 + static_cast<std::ptrdiff_t>((scan.rows - 1 - y) * stride));
  }
  writeWholeFile(path, s);
}

}  // namespace pelk::validation
