#pragma once
#include <filesystem>
#include <string>

namespace pelk {

// A name for a file that will be renamed to `path`, used by no other process.
std::filesystem::path temporaryBeside(const std::filesystem::path& path);

// Writes `content` under a temporary name beside `path`, then renames it over `path`, so a
// reader sees the old file or the whole new one, never a part. Throws std::runtime_error.
void writeFileAtomically(const std::filesystem::path& path, const std::string& content);

// The whole file, or nothing when it cannot be read.
bool readSmallFile(const std::filesystem::path& path, std::string& content);

}  // namespace pelk
