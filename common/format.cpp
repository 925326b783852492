#include "common/format.h"

#include <charconv>

#include "common/fixed_width.h"

namespace pelk {
namespace {

// Fixed notation of the largest double has 309 integer digits.
constexpr int kBufferSize = 400;
// Fields up to this wide are built in a local buffer and appended in one go.
constexpr int kLocalWidth = 64;

void pad(std::string& out, std::size_t length, int width) {
  if (width > 0 && length < static_cast<std::size_t>(width)) out.append(width - length, ' ');
}

}  // namespace

void appendInt(std::string& out, long long value, int width) {
  if (width > kLocalWidth) {
    char buf[24];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
    (void)ec;
    std::size_t length = static_cast<std::size_t>(end - buf);
    pad(out, length, width);
    out.append(buf, length);
    return;
  }
  char buf[kIntFieldRoom(kLocalWidth)];
  out.append(buf, static_cast<std::size_t>(putInt(buf, value, width) - buf));
}

void appendReal(std::string& out, double value, int width, int decimals) {
  char buf[kBufferSize];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
  if (ec != std::errc()) {
    out.append("?");
    return;
  }
  std::size_t length = static_cast<std::size_t>(end - buf);
  pad(out, length, width);
  out.append(buf, length);
}

void appendIntColumn(std::string& out, long long value, int width) {
  if (width > kLocalWidth) {
    char buf[24];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
    (void)ec;
    std::size_t length = static_cast<std::size_t>(end - buf);
    if (length >= static_cast<std::size_t>(width)) out.push_back(' ');
    else pad(out, length, width);
    out.append(buf, length);
    return;
  }
  char buf[kIntFieldRoom(kLocalWidth)];
  out.append(buf, static_cast<std::size_t>(putIntColumn(buf, value, width) - buf));
}

void appendRealColumn(std::string& out, double value, int width, int decimals) {
  char buf[kBufferSize];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
  if (ec != std::errc()) {
    out.append(" ?");
    return;
  }
  std::size_t length = static_cast<std::size_t>(end - buf);
  if (length >= static_cast<std::size_t>(width)) out.push_back(' ');
  else pad(out, length, width);
  out.append(buf, length);
}

std::string intText(long long value, int width) {
  std::string s;
  appendInt(s, value, width);
  return s;
}

std::string realText(double value, int width, int decimals) {
  std::string s;
  appendReal(s, value, width, decimals);
  return s;
}

}  // namespace pelk
