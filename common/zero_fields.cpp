#include "common/zero_fields.h"

namespace pelk {

void appendRepeated(std::string& out, std::string_view field, std::size_t count) {
  if (count == 0 || field.empty()) return;
  // Doubling: each append copies everything written so far, so count fields take log2(count)
  // appends.
  const std::size_t start = out.size();
  const std::size_t total = field.size() * count;
  out.append(field);
  while (out.size() - start < total) {
    const std::size_t have = out.size() - start;
    const std::size_t take = have < total - have ? have : total - have;
    out.append(out, start, take);
  }
}

std::string repeatedText(std::string_view field, std::size_t count) {
  std::string text;
  text.reserve(field.size() * count);
  appendRepeated(text, field, count);
  return text;
}

}  // namespace pelk
