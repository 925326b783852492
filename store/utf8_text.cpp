#include "store/utf8_text.h"

namespace pelk {
namespace {

// The length of the well-formed sequence starting at s[i], or 0.
std::size_t sequenceLength(const std::string& s, std::size_t i) {
  auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
  unsigned char lead = byte(i);
  if (lead < 0x80) return 1;
  std::size_t length = lead >= 0xf0 ? 4 : lead >= 0xe0 ? 3 : lead >= 0xc2 ? 2 : 0;
  if (length == 0 || lead > 0xf4 || i + length > s.size()) return 0;
  for (std::size_t k = 1; k < length; ++k)
    if ((byte(i + k) & 0xc0) != 0x80) return 0;
  unsigned char second = byte(i + 1);
  if (lead == 0xe0 && second < 0xa0) return 0;   // overlong
  if (lead == 0xed && second >= 0xa0) return 0;  // surrogate
  if (lead == 0xf0 && second < 0x90) return 0;   // overlong
  if (lead == 0xf4 && second >= 0x90) return 0;  // beyond U+10FFFF
  return length;
}

}  // namespace

std::string validUtf8(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    std::size_t n = sequenceLength(text, i);
    if (n == 0 || text[i] == '\0') {
      out += "\xef\xbf\xbd";
      ++i;
    } else {
      out.append(text, i, n);
      i += n;
    }
  }
  return out;
}

}  // namespace pelk
