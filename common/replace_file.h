#pragma once
#include <string>
#include <string_view>

namespace pelk {

// Writes `content` to `path` so that the file is either wholly the new content or untouched:
// it goes to a temporary file in the same folder with one write, is flushed to disk, and is
// then renamed over `path`. On any failure the temporary file is removed and IoError thrown.
void replaceFileWhole(const std::string& path, std::string_view content);

}  // namespace pelk
