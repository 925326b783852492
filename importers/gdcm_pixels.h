#pragma once
#include <cstddef>
#include <string>
#include <vector>

namespace pelk {

// Decodes the pixel data of the DICOM file at `path` with GDCM, which reads every transfer syntax
// archives hold, JPEG 2000 included: the stored words of every frame, little-endian, as an
// uncompressed file would hold them. `expectedBytes` is what the header announces (checked by
// the caller against the scan limits); a decoded buffer of another size is refused. On failure
// returns false and says why in `why`.
bool decodePixelsWithGdcm(const std::string& path, std::size_t expectedBytes,
                          std::vector<char>& pixels, std::string& why);

}  // namespace pelk
