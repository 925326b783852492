#include "report/html_text.h"

#include <cmath>
#include <cstdio>

namespace pelk {
namespace {

// Length of the valid UTF-8 sequence starting at `at`, or 0 when it is not one.
std::size_t utf8Length(std::string_view s, std::size_t at) {
  const auto c = static_cast<unsigned char>(s[at]);
  std::size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
  if (n == 0 || (n > 1 && c < 0xc2) || at + n > s.size()) return 0;
  for (std::size_t i = 1; i < n; ++i)
    if ((static_cast<unsigned char>(s[at + i]) & 0xc0) != 0x80) return 0;
  return n;
}

}  // namespace

std::string escapeHtml(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const char c = text[at];
    const std::size_t n = utf8Length(text, at);
    if (n == 0) {
      out += "\xEF\xBF\xBD";
      ++at;
      continue;
    }
    if (n == 1) {
      switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&#39;"; break;
        default:
          // Control characters are not allowed in XML text; tabs and line ends are.
          if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n') out += ' ';
          else out += c;
      }
    } else {
      out.append(text.substr(at, n));
    }
    at += n;
  }
  return out;
}

std::string figure(double value, int decimals) {
  if (!std::isfinite(value)) return "\xE2\x80\x93";
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
  std::string text = buffer;
  if (text.front() == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
  return text;
}

}  // namespace pelk
