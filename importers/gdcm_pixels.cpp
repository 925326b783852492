#include "importers/gdcm_pixels.h"

#include <exception>

#include "importers/gdcm_module.h"

namespace pelk {

bool decodePixelsWithGdcm(const std::string& path, std::size_t expectedBytes,
                          std::vector<char>& pixels, std::string& why) {
  try {
    callModule(gdcmModule().decodePixels, path, expectedBytes, pixels);
    return true;
  } catch (const std::exception& e) {
    why = e.what();
    return false;
  }
}

}  // namespace pelk
