#pragma once
#include <string>

namespace pelk::test {

// The opening every script shares, written out in full so the tests do not lean on the code
// under test: the use line, an empty line, the create statement.
inline std::string opening(const std::string& create) {
  return "use database pelk22\r\n\r\n" + create + "\r\n";
}

}  // namespace pelk::test
