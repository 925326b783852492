#include "common/text_reader.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>

#include "common/file_io.h"
#include "common/io_error.h"

namespace pelk {
namespace {

// Enough for any token the short forms read, with the blanks of its field before it.
constexpr std::size_t kLookahead = 64;
// How much a reader in parts reads at a time.
constexpr std::size_t kPart = 64 * 1024;

// A zero alone in an eight-character field, four fifths of every map file, with the character
// after it in hand (p + 8 < last).
bool zeroFieldAt(const char* p, const char* last) {
  return last - p >= 9 && std::memcmp(p, "       0", 8) == 0 &&
         static_cast<unsigned char>(p[8]) <= ' ';
}

// A short-form token ends at a blank, a line end or another control character; at the end of
// the data in hand only when that is the end of the file.
bool endsToken(const char* q, const char* last, bool lastIsEnd) {
  return q < last ? static_cast<unsigned char>(*q) <= ' ' : lastIsEnd;
}

constexpr char kEightZeroFields[] =
    "       0       0       0       0       0       0       0       0";
static_assert(sizeof kEightZeroFields == 65);

}  // namespace

TextReader::TextReader(std::string_view content, std::string name)
    : data_(content.begin(), content.end()), name_(std::move(name)) {}

TextReader TextReader::open(const std::string& path) {
  InFile file(path);
  TextReader reader(std::string(), path);
  file.appendTo(reader.data_, file.size());
  return reader;
}

TextReader TextReader::openInParts(const std::string& path) {
  auto file = std::make_unique<InFile>(path);
  TextReader reader(std::string(), path);
  reader.data_.reserve(std::min(file->size(), 2 * kPart));
  reader.rest_ = std::move(file);
  return reader;
}

bool TextReader::more(std::size_t* mark) const {
  if (!rest_) return false;
  // What has been read past is dropped before the next part comes in: the reader holds about
  // two parts however far it reads, and a long-lived program reuses that memory run after run
  // instead of touching a fresh file's worth each time. Only the few bytes not yet read move.
  const std::size_t keep = mark ? std::min(*mark, pos_) : pos_;
  if (keep >= kPart) {
    data_.erase(data_.begin(), data_.begin() + static_cast<std::ptrdiff_t>(keep));
    pos_ -= keep;
    if (mark) *mark -= keep;
  }
  if (rest_->appendTo(data_, kPart) > 0) return true;
  rest_.reset();
  return false;
}

void TextReader::ensureAhead(std::size_t count) const {
  while (data_.size() < pos_ + count && more()) {
  }
}

bool TextReader::eof() const {
  while (pos_ >= data_.size())
    if (!more()) return true;
  return false;
}

bool TextReader::eoln() const { return eof() || data_[pos_] == '\r' || data_[pos_] == '\n'; }

bool TextReader::seekEof() const {
  std::size_t i = pos_;
  for (;;) {
    for (; i < data_.size(); ++i)
      if (static_cast<unsigned char>(data_[i]) > ' ') return false;
    if (!more(&i)) return true;
  }
}

char TextReader::get() { return eof() ? '\0' : data_[pos_++]; }

char TextReader::peek() const { return eof() ? '\0' : data_[pos_]; }

// Numbers in the system's files stand right-aligned in wide fields, so most of a reader's time
// went into passing blanks: they are passed eight at a time while the bytes are plain ASCII.
// Adding 0x5F to a byte below 0x80 sets its high bit exactly when the byte is above ' '.
const char* TextReader::skipBlanks(const char* p, const char* last) {
  constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
  constexpr std::uint64_t kAboveBlank = 0x5F5F5F5F5F5F5F5FULL;
  while (last - p >= 8) {
    std::uint64_t word;
    std::memcpy(&word, p, 8);
    if (word & kHighBits) break;  // a byte beyond ASCII: the plain loop decides
    const std::uint64_t above = (word + kAboveBlank) & kHighBits;
    if (above != 0)
      return p + (std::endian::native == std::endian::little ? std::countr_zero(above)
                                                             : std::countl_zero(above)) /
                     8;
    p += 8;
  }
  while (p < last && static_cast<unsigned char>(*p) <= ' ') ++p;
  return p;
}

std::string_view TextReader::nextToken() {
  do
    pos_ = static_cast<std::size_t>(skipBlanks(data_.data() + pos_, data_.data() + data_.size()) -
                                    data_.data());
  while (pos_ == data_.size() && more());
  std::size_t start = pos_;
  do
    while (pos_ < data_.size() && static_cast<unsigned char>(data_[pos_]) > ' ') ++pos_;
  while (pos_ == data_.size() && more(&start));
  return std::string_view(data_.data() + start, pos_ - start);
}

void TextReader::invalid() const { throw IoError("Invalid numeric input: " + name_); }

void TextReader::readInts(std::int32_t* values, std::size_t count) {
  // Rows of map sums are mostly zero fields: runs of them are taken here, eight characters a
  // step, and anything else goes to readInt.
  std::size_t k = 0;
  while (k < count) {
    const char* const first = data_.data();
    const char* const last = first + data_.size();
    const char* p = first + pos_;
    // Eight zero fields at a time while they last, the character after them in hand.
    while (count - k >= 8 && last - p > 64 && std::memcmp(p, kEightZeroFields, 64) == 0 &&
           static_cast<unsigned char>(p[64]) <= ' ') {
      std::fill_n(values + k, 8, 0);
      k += 8;
      p += 64;
    }
    while (k < count && zeroFieldAt(p, last)) {
      values[k++] = 0;
      p += 8;
    }
    pos_ = static_cast<std::size_t>(p - first);
    if (k < count) values[k++] = readInt();
  }
}

std::int32_t TextReader::readInt() {
  // Nearly every number in the system's files is an optional minus and a few digits ended by a
  // blank or a line end: that token is read in one pass. Anything else, a "+" sign, ten digits
  // or more, a stray character, goes through the full rules below from the same position.
  // The short forms below are taken only where the data in hand shows where the token ends.
  ensureAhead(kLookahead);
  const char* const first = data_.data();
  const char* const last = first + data_.size();
  const char* p = first + pos_;
  if (zeroFieldAt(p, last)) {
    pos_ += 8;
    return 0;
  }
  p = skipBlanks(p, last);
  if (last - p >= 2 && p[0] == '0' && static_cast<unsigned char>(p[1]) <= ' ') {
    pos_ = static_cast<std::size_t>(p + 1 - first);
    return 0;
  }
  std::int32_t value = 0;
  if (const char* end = shortInteger(p, last, !rest_, value)) {
    pos_ = static_cast<std::size_t>(end - first);
    return value;
  }
  return readIntToken();
}

const char* TextReader::shortInteger(const char* p, const char* last, bool lastIsEnd,
                                     std::int32_t& value) {
  const bool negative = p < last && *p == '-';
  const char* const digits = negative ? p + 1 : p;
  const char* q = digits;
  std::int32_t magnitude = 0;
  while (q < last && q - digits < 9 && static_cast<unsigned char>(*q - '0') < 10) {
    magnitude = magnitude * 10 + (*q - '0');
    ++q;
  }
  if (q == digits || !endsToken(q, last, lastIsEnd)) return nullptr;
  value = negative ? -magnitude : magnitude;
  return q;
}

const char* TextReader::shortDecimal(const char* p, const char* last, bool lastIsEnd,
                                     double& value) {
  // Fifteen digits make a whole number below 2^53, and 10^15 is exact too: their quotient, one
  // correctly rounded division, is the double nearest the decimal, which is what the full
  // conversion gives.
  static constexpr double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  constexpr int kMostDigits = 15;
  const bool negative = p < last && *p == '-';
  const char* const digits = negative ? p + 1 : p;
  const char* q = digits;
  std::uint64_t whole = 0;
  while (q < last && q - digits < kMostDigits && static_cast<unsigned char>(*q - '0') < 10)
    whole = whole * 10 + static_cast<std::uint64_t>(*q++ - '0');
  if (q == digits) return nullptr;
  double magnitude = 0.0;
  if (q < last && *q == '.') {
    const char* const point = q++;
    while (q < last && q - digits <= kMostDigits && static_cast<unsigned char>(*q - '0') < 10)
      whole = whole * 10 + static_cast<std::uint64_t>(*q++ - '0');
    magnitude = static_cast<double>(whole) / kPowers[q - point - 1];
  } else {
    magnitude = static_cast<double>(whole);
  }
  if (!endsToken(q, last, lastIsEnd)) return nullptr;
  value = negative ? -magnitude : magnitude;
  return q;
}

std::int32_t TextReader::readIntToken() {
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
  // Maps hold whole numbers and result files numbers with three decimals: both are read by the
  // short form, and "-0" keeps its sign as the full conversion below would.
  ensureAhead(kLookahead);
  const char* const first = data_.data();
  const char* const last = first + data_.size();
  const char* p = skipBlanks(first + pos_, last);
  double value = 0.0;
  if (const char* end = shortDecimal(p, last, !rest_, value)) {
    pos_ = static_cast<std::size_t>(end - first);
    return value;
  }
  std::string_view token = nextToken();
  if (token.empty()) return 0.0;
  std::string_view text = token;
  if (text.front() == '+') text.remove_prefix(1);
  // Only plain decimal notation: no "inf", "nan" or hexadecimal forms.
  for (char c : text) {
    bool ok = (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E';
    if (!ok) invalid();
  }
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size() ||
      !std::isfinite(value))
    invalid();
  return value;
}

void TextReader::skipLine() {
  // Map readers skip the rest of rows thousands of characters long: the line end is searched
  // for a block at a time. Blocks keep the search short in files whose lines end in CR alone
  // or LF alone, where the other character never comes.
  constexpr std::size_t kBlock = 256;
  do {
    const std::size_t size = data_.size();
    while (pos_ < size) {
      const std::size_t length = std::min(size - pos_, kBlock);
      const char* at = data_.data() + pos_;
      const auto* lf = static_cast<const char*>(std::memchr(at, '\n', length));
      const std::size_t beforeLf = lf ? static_cast<std::size_t>(lf - at) : length;
      const auto* cr = static_cast<const char*>(std::memchr(at, '\r', beforeLf));
      if (cr) {
        pos_ += static_cast<std::size_t>(cr - at) + 1;
        if (!eof() && data_[pos_] == '\n') ++pos_;
        return;
      }
      if (lf) {
        pos_ += static_cast<std::size_t>(lf - at) + 1;
        return;
      }
      pos_ += length;
    }
  } while (more());
}

void TextReader::skipLines(int count) {
  for (int i = 0; i < count; ++i) skipLine();
}

std::string TextReader::readLine() {
  std::size_t start = pos_;
  do
    while (pos_ < data_.size() && data_[pos_] != '\r' && data_[pos_] != '\n') ++pos_;
  while (pos_ == data_.size() && more(&start));
  std::string line(data_.data() + start, pos_ - start);
  skipLine();
  return line;
}

}  // namespace pelk
