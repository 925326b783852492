#pragma once
#include <string>
#include <string_view>

namespace pelk {

// The SHA-256 digest of `bytes` as 64 lower-case hex digits, so a report can name the exact
// bytes of a scan it was made from.
std::string sha256Hex(std::string_view bytes);

}  // namespace pelk
