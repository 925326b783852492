#include "importers/gdcm_pixels.h"

#include <gdcmImageReader.h>
#include <gdcmTrace.h>

namespace pelk {

bool decodePixelsWithGdcm(const std::string& path, std::size_t expectedBytes,
                          std::vector<char>& pixels, std::string& why) {
  gdcm::Trace::SetWarning(false);
  gdcm::Trace::SetError(false);
  gdcm::ImageReader reader;
  reader.SetFileName(path.c_str());
  if (!reader.Read()) {
    why = "the pixel data cannot be read";
    return false;
  }
  const gdcm::Image& image = reader.GetImage();
  if (image.GetBufferLength() != expectedBytes) {
    why = "the decoded pixel data has " + std::to_string(image.GetBufferLength()) +
          " bytes where the header announces " + std::to_string(expectedBytes);
    return false;
  }
  pixels.resize(expectedBytes);
  if (!image.GetBuffer(pixels.data())) {
    why = "the codec failed on the pixel data";
    pixels.clear();
    return false;
  }
  return true;
}

}  // namespace pelk
