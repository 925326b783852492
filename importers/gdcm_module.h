#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/toolkit_module.h"

namespace pelk {

// GDCM reads what DCMTK cannot (JPEG 2000 pixels) and the headers of whole DICOM series. It
// builds its tag dictionaries as it loads, tens of milliseconds at every start of a program that
// links it, so it lives in a module of its own (importers/gdcm/, see common/toolkit_module.h),
// loaded the first time a DICOM file needs it. Each entry point's failures are IoErrors, the
// toolkit's own exceptions among them.

// What one image file's header says, for ordering a series; a tag the file lacks is empty.
struct GdcmScannedFile {
  std::string file;
  std::optional<std::string> seriesUid, position, orientation, rows, columns;
};

// The geometry of a decoded image.
struct GdcmImageGeometry {
  unsigned dims[3] = {1, 1, 1};
  unsigned dimensionCount = 0;
  double spacing[3] = {1, 1, 1};
  double origin[3] = {0, 0, 0};
  double cosines[6] = {1, 0, 0, 0, 1, 0};
};

struct GdcmModule {
  // The stored pixel words of the file, as an uncompressed file would hold them; a decoded
  // buffer of another size than `expectedBytes` is refused.
  bool (*decodePixels)(const std::string& path, std::size_t expectedBytes,
                       std::vector<char>& pixels, ModuleFailure& failure);
  // The image files directly in `folder`, in the toolkit's order, with their headers' tags.
  bool (*scanFolder)(const std::string& folder, std::vector<GdcmScannedFile>& files,
                     ModuleFailure& failure);
  // Decodes an image of at most `maxSide` voxels a side and `maxBytes` as 4-byte values, and
  // appends its voxels through the rescale to `values`. The size is checked before the pixel
  // buffer is allocated.
  bool (*decodeImage)(const std::string& path, std::int64_t maxSide, std::int64_t maxBytes,
                      GdcmImageGeometry& geometry, std::vector<float>& values,
                      ModuleFailure& failure);
};

// The loaded module (loaded once, by the first caller); IoError naming the module when it
// cannot be loaded.
const GdcmModule& gdcmModule();

}  // namespace pelk

// The module's one exported symbol.
extern "C" const pelk::GdcmModule* pelkGdcmModule();
