#include "tools/validate-progression/mri_slices.h"

#include <algorithm>
#include <memory>

#include <opencv2/imgproc.hpp>

#include <nifti1_io.h>

namespace pelk::validation {
namespace {

struct NiftiDeleter {
  void operator()(nifti_image* image) const { nifti_image_free(image); }
};

cv::Mat ellipse(int diameter) {
  return cv::getStructuringElement(cv::MORPH_ELLIPSE, {diameter, diameter});
}

}  // namespace

std::vector<Anatomy> mriSlices(const std::string& niftiPath, int size, int count) {
  std::unique_ptr<nifti_image, NiftiDeleter> volume(nifti_image_read(niftiPath.c_str(), 1));
  if (!volume || !volume->data || volume->dim[0] < 3) return {};
  const int nx = volume->nx, ny = volume->ny, nz = volume->nz;
  cv::Mat voxels;
  switch (volume->datatype) {
    case DT_UINT8: cv::Mat(nz * ny, nx, CV_8U, volume->data).convertTo(voxels, CV_32F); break;
    case DT_INT16: cv::Mat(nz * ny, nx, CV_16S, volume->data).convertTo(voxels, CV_32F); break;
    case DT_UINT16: cv::Mat(nz * ny, nx, CV_16U, volume->data).convertTo(voxels, CV_32F); break;
    case DT_FLOAT32: cv::Mat(nz * ny, nx, CV_32F, volume->data).copyTo(voxels); break;
    default: return {};
  }
  // The brightest half percent saturates, as a scanner's display window would set it.
  std::vector<float> sorted(voxels.begin<float>(), voxels.end<float>());
  auto top = sorted.begin() + static_cast<std::ptrdiff_t>(sorted.size() * 995 / 1000);
  std::nth_element(sorted.begin(), top, sorted.end());
  const double scale = 235.0 / std::max(1.0f, *top);

  const double zoom = 0.95 * size / std::max(nx, ny);
  std::vector<Anatomy> slices;
  // From just below the ventricles' floor to above their roof.
  const int first = nz * 32 / 100, last = nz * 58 / 100;
  for (int k = 0; k < count; ++k) {
    const int z = first + (last - first) * k / std::max(1, count - 1);
    cv::Mat slice = voxels.rowRange(z * ny, (z + 1) * ny).clone() * scale;
    cv::flip(slice, slice, 0);  // anterior at the top, as scans are shown
    cv::Mat resized;
    cv::resize(slice, resized, {}, zoom, zoom, cv::INTER_CUBIC);
    cv::Mat canvas = cv::Mat::zeros(size, size, CV_32F);
    const int ox = (size - resized.cols) / 2, oy = (size - resized.rows) / 2;
    resized.copyTo(canvas(cv::Rect(ox, oy, resized.cols, resized.rows)));
    cv::max(canvas, 0.0, canvas);
    cv::min(canvas, 255.0, canvas);

    Anatomy a;
    a.name = "T1 slice z=" + std::to_string(z);
    a.image = canvas;
    cv::Mat head, brain;
    cv::threshold(canvas, head, 30.0, 255.0, cv::THRESH_BINARY);
    head.convertTo(head, CV_8U);
    cv::morphologyEx(head, head, cv::MORPH_CLOSE, ellipse(15));
    // About 2 cm of scalp and skull lie between the head's outline and the brain.
    cv::erode(head, brain, ellipse(2 * static_cast<int>(20 * zoom) + 1));
    cv::Mat tissue;
    cv::threshold(canvas, tissue, 0.35 * 235.0, 255.0, cv::THRESH_BINARY);
    tissue.convertTo(tissue, CV_8U);
    // Lesions may reach into sulci and ventricles as real ones do, but are centred on tissue
    // and stay within the brain however far they grow.
    cv::morphologyEx(tissue, tissue, cv::MORPH_OPEN, ellipse(9));
    cv::erode(brain, brain, ellipse(2 * kMaxLesionRadius + 1));
    cv::bitwise_and(brain, tissue, a.lesionSites);
    if (cv::countNonZero(a.lesionSites) > 0) slices.push_back(a);
  }
  return slices;
}

}  // namespace pelk::validation
