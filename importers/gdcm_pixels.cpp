#include "importers/gdcm_pixels.h"

#include "common/io_error.h"
#include "importers/gdcm_module.h"

namespace pelk {

bool decodePixelsWithGdcm(const std::string& path, std::size_t expectedBytes,
                          std::vector<char>& pixels, std::string& why) {
  try {
    return gdcmModule().decodePixels(path, expectedBytes, pixels, why);
  } catch (const IoError& e) {
    why = e.what();
    return false;
  }
}

}  // namespace pelk
