#pragma once
#include <opencv2/core.hpp>

namespace pelk::test {

// A small head-like slice (CV_8U): skull ring, brain with a smooth texture, two ventricles;
// enough structure for registration to lock on to.
cv::Mat headSlice(int size);

// Adds `contrast` grey levels inside the circle (cx, cy, r), saturating at 255.
void addBlob(cv::Mat& image, double cx, double cy, double r, double contrast);

// Moves the picture by (dx, dy) pixels and rotates it about its centre (linear interpolation).
cv::Mat moved(const cv::Mat& image, double dx, double dy, double degrees = 0.0);

// The picture as an 8-bit bitmap file (grey palette, rows bottom-up); the spacing goes into the
// resolution fields as pixels per metre.
void writeScan(const std::string& path, const cv::Mat& image, int pixelsPerMetre = 0);

}  // namespace pelk::test
