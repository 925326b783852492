#pragma once
#include <filesystem>
#include <system_error>

namespace pelk {

// The file of the running program, links resolved: the programs and the module that ships with
// them are looked for beside it. Sets `ec` (and returns an empty path) when it cannot be told.
std::filesystem::path runningProgram(std::error_code& ec);

}  // namespace pelk
