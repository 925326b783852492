#include "tools/validate-progression/scan_files.h"

#include "common/bmp_writer.h"
#include "common/file_io.h"

namespace pelk::validation {
void writeScanBitmap(const std::string& path, const cv::Mat& scan) {
  const std::size_t stride = bmpRowBytes(scan.cols, 8);
  const std::size_t imageSize = stride * static_cast<std::size_t>(scan.rows);
  std::string s;
  appendBmpHeader(s, {.width = scan.cols,
                      .height = scan.rows,
                      .pixelBytes = static_cast<std::uint32_t>(imageSize)});
  s.resize(kGreyBmpPixelOffset + imageSize);
  for (int y = 0; y < scan.rows; ++y) {
    const auto* row = scan.ptr<std::uint8_t>(y);
    std::copy(row, row + scan.cols,
              s.begin() + kGreyBmpPixelOffset +
                  static_cast<std::ptrdiff_t>((scan.rows - 1 - y) * stride));
  }
  writeWholeFile(path, s);
}

}  // namespace pelk::validation
