#pragma once
#include <string>

#include <opencv2/core.hpp>

namespace pelk::validation {

// The nominal scan file: 8-bit, grey palette, pixel data at byte 1078, rows bottom-up, as both
// the legacy readers and the robust one read it.
void writeScanBitmap(const std::string& path, const cv::Mat& scan);

}  // namespace pelk::validation
