#pragma once
#include <span>
#include <string>

namespace pelk {

// The SHA-256 digest of bytes, as 64 lower-case hex digits.
std::string sha256Hex(std::span<const unsigned char> bytes);

}  // namespace pelk
