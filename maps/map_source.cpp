#include "maps/map_source.h"

#include "common/file_io.h"
#include "common/io_error.h"

namespace pelk {

void MapSource::tooSmall() const { throw IoError("Image too small for intensity maps: " + path); }

void MapSource::tooLarge() const { throw IoError("Image too large for intensity maps: " + path); }

void MapSource::requirePixels() const {
  if (static_cast<std::int64_t>(bytes.size()) < pixelCount())
    throw IoError("Read beyond end of file: " + path);
}

MapSource loadMapSource(const std::string& path, ModuleLog& log) {
  MapSource source;
  source.path = path;
  source.bytes = readWholeFile(path);
  source.size = readBmpSize(source.bytes, path, log);
  return source;
}

}  // namespace pelk
