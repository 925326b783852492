#pragma once
#include <string>
#include <string_view>

#include "common/sha256.h"

namespace pelk {

// Adds a text whose length varies: its length goes in first, so ("ab", "c") and ("a", "bc")
// hash apart.
inline void addField(Sha256& hash, std::string_view text) {
  hash.add(std::to_string(text.size()) + ":");
  hash.add(text);
}

}  // namespace pelk
