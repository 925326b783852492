#pragma once
#include <filesystem>
#include <string>

namespace pelk {

// A name for a file that will be renamed to `path`, used by no other process.
std::filesystem::path temporaryBeside(const std::filesystem::path& path);

// The whole file, or nothing when it cannot be read.
bool readSmallFile(const std::filesystem::path& path, std::string& content);

}  // namespace pelk
