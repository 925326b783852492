#pragma once
#include <optional>
#include <string>
#include <vector>

#include "report/raster.h"

namespace pelk::test {

// A PNG decoded with libpng to 8-bit RGB, or nothing when libpng refuses it.
std::optional<Raster> decodePng(const std::string& bytes);

// The PNG pictures inlined in an HTML document as data URIs, decoded from base64.
std::vector<std::string> inlinePngs(const std::string& html);

}  // namespace pelk::test
