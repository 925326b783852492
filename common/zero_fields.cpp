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

FinishedRun::FinishedRun(std::string_view field, std::size_t count, std::string_view end)
    : fieldSize_(field.size()), endSize_(end.size()), count_(count) {
  text_.reserve(field.size() * count + end.size());
  appendRepeated(text_, field, count);
  text_ += end;
}

std::string_view FinishedRun::last(std::size_t fields) const {
  return std::string_view(text_).substr(text_.size() - fields * fieldSize_ - endSize_);
}

}  // namespace pelk
