#include "tests/progression/test_scans.h"

#include <cmath>

#include <opencv2/imgproc.hpp>

#include "tests/support/files.h"

namespace pelk::test {

cv::Mat headSlice(int size) {
  cv::Mat image(size, size, CV_8U);
  const double c = (size - 1) / 2.0;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const double rho = std::hypot((x - c) / (0.42 * size), (y - c) / (0.46 * size));
      const double ventricle =
          std::hypot((std::abs(x - c) - 0.08 * size) / (0.05 * size), (y - c) / (0.15 * size));
      double v = 0;
      if (rho < 1.0) v = 200;
      if (rho < 0.9) v = 110 + 30 * std::sin(x * 0.21) * std::cos(y * 0.17) + 20 * (y - c) / size;
      if (rho < 0.9 && ventricle < 1.0) v = 35;
      image.at<std::uint8_t>(y, x) = cv::saturate_cast<std::uint8_t>(v);
    }
  }
  // Scanner-like softness of the borders.
  cv::GaussianBlur(image, image, {3, 3}, 0.7);
  return image;
}

void addBlob(cv::Mat& image, double cx, double cy, double r, double contrast) {
  for (int y = 0; y < image.rows; ++y)
    for (int x = 0; x < image.cols; ++x)
      if (std::hypot(x - cx, y - cy) <= r)
        image.at<std::uint8_t>(y, x) =
            cv::saturate_cast<std::uint8_t>(image.at<std::uint8_t>(y, x) + contrast);
}

cv::Mat moved(const cv::Mat& image, double dx, double dy, double degrees) {
  cv::Mat m =
      cv::getRotationMatrix2D({(image.cols - 1) / 2.0f, (image.rows - 1) / 2.0f}, degrees, 1.0);
  m.at<double>(0, 2) += dx;
  m.at<double>(1, 2) += dy;
  cv::Mat out;
  cv::warpAffine(image, out, m, image.size(), cv::INTER_LINEAR, cv::BORDER_CONSTANT, 0);
  return out;
}

void writeScan(const std::string& path, const cv::Mat& image, int pixelsPerMetre) {
  std::string bytes = bmpBytes(image.cols, image.rows, [&](int row, int col) {
    return image.at<std::uint8_t>(image.rows - 1 - row, col);
  });
  for (int field : {38, 42})
    for (int i = 0; i < 4; ++i)
      bytes[field + i] = static_cast<char>((pixelsPerMetre >> (8 * i)) & 0xFF);
  writeFile(path, bytes);
}

}  // namespace pelk::test
