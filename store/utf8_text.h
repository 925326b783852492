#pragma once
#include <string>

namespace pelk {

// The text with every byte that is not part of a well-formed UTF-8 sequence replaced by U+FFFD,
// so that a store with a UTF-8 encoding (PostgreSQL) takes every name a user can type.
std::string validUtf8(const std::string& text);

}  // namespace pelk
