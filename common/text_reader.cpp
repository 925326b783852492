#include "common/text_reader.h"

#include <charconv>
#include <cmath>

#include "common/file_io.h"
#include "common/io_error.h"

namespace pelk {

TextReader::TextReader(std::string content, std::string name)
    : data_(std::move(content)), name_(std::move(name)) {}

TextReader TextReader::open(const std::string& path) { return TextReader(readWholeFile(path), path); }

bool TextReader::eoln() const { return eof() || data_[pos_] == '\r' || data_[pos_] == '\n'; }

bool TextReader::seekEof() const {
  for (std::size_t i = pos_; i < data_.size(); ++i)
    if (static_cast<unsigned char>(data_[i]) > ' ') return false;
  return true;
}

char TextReader::get() { return eof() ? '\0' : data_[pos_++]; }

std::string_view TextReader::nextToken() {
  while (pos_ < data_.size() && static_cast<unsigned char>(data_[pos_]) <= ' ') ++pos_;
  std::size_t start = pos_;
  while (pos_ < data_.size() && static_cast<unsigned char>(data_[pos_]) > ' ') ++pos_;
  return std::string_view(data_).substr(start, pos_ - start);
}

void TextReader::invalid() const { throw IoError("Invalid numeric input: " + name_); }

std::int32_t TextReader::readInt() {
  std::string_view token = nextToken();
  if (token.empty()) return 0;
  std::string_view digits = token;
  if (digits.front() == '+') digits.remove_prefix(1);
  std::int32_t value = 0;
  auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size()) invalid();
  return value;
}

double TextReader::readReal() {
  std::string_view token = nextToken();
  if (token.empty()) return 0.0;
  std::string_view text = token;
  if (text.front() == '+') text.remove_prefix(1);
  // Only plain decimal notation: no "inf", "nan" or hexadecimal forms.
  for (char c : text) {
    bool ok = (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E';
    if (!ok) invalid();
  }
  double value = 0.0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
    invalid();
  return value;
}

void TextReader::skipLine() {
  while (pos_ < data_.size()) {
    char c = data_[pos_++];
    if (c == '\n') return;
    if (c == '\r') {
      if (pos_ < data_.size() && data_[pos_] == '\n') ++pos_;
      return;
    }
  }
}

void TextReader::skipLines(int count) {
  for (int i = 0; i < count; ++i) skipLine();
}

std::string TextReader::readLine() {
  std::size_t start = pos_;
  while (pos_ < data_.size() && data_[pos_] != '\r' && data_[pos_] != '\n') ++pos_;
  std::string line = data_.substr(start, pos_ - start);
  skipLine();
  return line;
}

}  // namespace pelk
