#include <charconv>
#include <cmath>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/io_error.h"
#include "common/text_reader.h"

namespace pelk {
namespace {

// The integer rule read the plain way: one token; a leading "+" dropped; the rest must be a
// whole 32-bit decimal number; no token at all reads 0. Nothing means "Invalid numeric input".
std::optional<std::int32_t> plainInt(const std::string& token) {
  if (token.empty()) return 0;
  std::string_view digits = token;
  if (digits.front() == '+') digits.remove_prefix(1);
  std::int32_t value = 0;
  auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size())
    return std::nullopt;
  return value;
}

const std::vector<std::string> kTokens{
    "0",           "-0",         "7",           "-7",          "+7",           "+-7",
    "-+7",         "123456789",  "-123456789",  "1234567890",  "-1234567890",  "2147483647",
    "-2147483648", "2147483648", "-2147483649", "99999999999", "000000000012", "-000000000",
    "12a",         "a",          "-",           "+",           "--1",          "1-",
    "1.5",         "1e3",        "0x10",        "\xC3\xA9",    "5\xC3\xA9"};

TEST(TextReaderInt, EveryTokenReadsAsThePlainRuleSays) {
  for (const std::string& token : kTokens)
    for (const std::string& after : {std::string(""), std::string(" 9"), std::string("\r\n9"),
                                     std::string("\t9"), std::string(1, '\0') + "9"}) {
      TextReader in("  " + token + after, "t.txt");
      const std::optional<std::int32_t> expected = plainInt(token);
      if (!expected) {
        EXPECT_THROW(in.readInt(), IoError) << token;
        continue;
      }
      EXPECT_EQ(in.readInt(), *expected) << token;
      // The next number is found where the plain rule leaves the reader.
      EXPECT_EQ(in.readInt(), after.empty() ? 0 : 9) << token;
    }
}

TEST(TextReaderInt, ReadsEveryTokenInAnEightCharacterFieldAsThePlainRuleSays) {
  // Map fields: blanks up to eight characters, then the token, then whatever follows it.
  for (const std::string& token : kTokens)
    for (const std::string& after : {std::string(""), std::string(" 9"), std::string("5 9"),
                                     std::string("\r\n9"), std::string("x")}) {
      const std::string field = std::string(token.size() < 8 ? 8 - token.size() : 0, ' ') + token;
      const std::optional<std::int32_t> expected =
          plainInt(token + after.substr(0, after.find_first_of(" \r")));
      TextReader in(field + after, "f.map");
      if (!expected) {
        EXPECT_THROW(in.readInt(), IoError) << token << after;
        continue;
      }
      EXPECT_EQ(in.readInt(), *expected) << token << after;
      EXPECT_EQ(in.readInt(), after.find('9') != std::string::npos ? 9 : 0) << token << after;
    }
}

// The real-number rule read the plain way: plain decimal notation only, finite.
std::optional<double> plainReal(const std::string& token) {
  if (token.empty()) return 0.0;
  std::string_view text = token;
  if (text.front() == '+') text.remove_prefix(1);
  for (char c : text)
    if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E'))
      return std::nullopt;
  double value = 0.0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size() ||
      !std::isfinite(value))
    return std::nullopt;
  return value;
}

TEST(TextReaderReal, EveryTokenReadsAsThePlainRuleSaysSignOfZeroIncluded) {
  std::vector<std::string> tokens = kTokens;
  for (const char* more : {"-0.0", "0.5", "-0", "-000", "26.214", "1e400", "-1e-400"})
    tokens.push_back(more);
  for (const std::string& token : tokens)
    for (const std::string& after : {std::string(""), std::string(" 9"), std::string("\r\n9")}) {
      TextReader in("       " + token + after, "r.map");
      const std::optional<double> expected = plainReal(token);
      if (!expected) {
        EXPECT_THROW(in.readReal(), IoError) << token;
        continue;
      }
      const double got = in.readReal();
      EXPECT_EQ(got, *expected) << token;
      EXPECT_EQ(std::signbit(got), std::signbit(*expected)) << token;
      EXPECT_EQ(in.readReal(), after.empty() ? 0.0 : 9.0) << token;
    }
}

TEST(TextReaderReal, DecimalsOfAnyLengthReadAsTheFullConversionReadsThem) {
  // Around the fifteen digits the short form takes: every placement of the point, both signs,
  // digits that round up and down in binary.
  std::mt19937_64 random(15);
  for (int trial = 0; trial < 200000; ++trial) {
    std::string token = random() % 2 ? "-" : "";
    const int digits = 1 + static_cast<int>(random() % 18);
    const int point = static_cast<int>(random() % (digits + 2));  // past the end: no point
    for (int k = 0; k < digits; ++k) {
      if (k == point && k > 0) token += '.';
      token += static_cast<char>('0' + random() % 10);
    }
    if (point == digits) token += '.';
    TextReader in("  " + token + "\r\n", "r.dat");
    const std::optional<double> expected = plainReal(token);
    ASSERT_TRUE(expected) << token;
    const double got = in.readReal();
    ASSERT_EQ(got, *expected) << token;
    ASSERT_EQ(std::signbit(got), std::signbit(*expected)) << token;
  }
}

TEST(TextReaderInt, PassesEveryRunOfBlanksAndControlCharacters) {
  // Runs of every length around the eight-at-a-time step, of every byte up to ' ', and bytes
  // beyond ASCII and DEL, which are part of a token and make it invalid.
  for (int run = 0; run <= 20; ++run)
    for (int fill = 0; fill <= ' '; ++fill) {
      const std::string text(static_cast<std::size_t>(run), static_cast<char>(fill));
      const std::string between(static_cast<std::size_t>(run > 0 ? run : 1),
                                static_cast<char>(fill));
      TextReader in(text + "-12" + between + "7" + text, "b.txt");
      ASSERT_EQ(in.readInt(), -12) << run << " of " << fill;
      ASSERT_EQ(in.readInt(), 7) << run << " of " << fill;
      ASSERT_TRUE(in.seekEof());
      ASSERT_EQ(in.readInt(), 0);
    }
  for (const char odd : {'\x7F', '\x80', '\xA0', '\xFF'})
    for (int run = 0; run <= 12; ++run) {
      TextReader in(std::string(static_cast<std::size_t>(run), ' ') + odd + "5 6", "o.txt");
      EXPECT_THROW(in.readInt(), IoError) << run;
      TextReader real(std::string(static_cast<std::size_t>(run), ' ') + odd + "5 6", "o.txt");
      EXPECT_THROW(real.readReal(), IoError) << run;
    }
}

TEST(TextReaderInt, ReadsARowOfSumsAndSkipsTheRestOfTheLine) {
  TextReader in("     100       5\r\nMean: 26.214\r\n       0   12345 -7 +8\r\n42", "m.map");
  EXPECT_EQ(in.readInt(), 100);
  EXPECT_EQ(in.readInt(), 5);
  in.skipLine();
  in.skipLine();
  EXPECT_EQ(in.readInt(), 0);
  EXPECT_EQ(in.readInt(), 12345);
  EXPECT_EQ(in.readInt(), -7);
  in.skipLine();
  EXPECT_EQ(in.readInt(), 42);
  EXPECT_EQ(in.readInt(), 0);  // missing at the end
}

// The line rule read the plain way: up to and past the first CR or LF, a CR LF pair counting as one.
std::size_t plainLineEnd(const std::string& text, std::size_t pos) {
  while (pos < text.size()) {
    const char c = text[pos++];
    if (c == '\n') return pos;
    if (c == '\r') return pos < text.size() && text[pos] == '\n' ? pos + 1 : pos;
  }
  return pos;
}

TEST(TextReaderLine, SkipLineStopsWhereThePlainRuleDoes) {
  // Lines of every length around the search's block size, with every kind of line end.
  std::mt19937 random(11);
  for (int trial = 0; trial < 300; ++trial) {
    std::string text;
    const int length = static_cast<int>(random() % 1200);
    const unsigned endEvery = trial % 3 == 0 ? 5 : 300;  // long lines come up too
    for (int k = 0; k < length; ++k) {
      if (random() % endEvery == 0) text += random() % 2 == 0 ? '\r' : '\n';
      else text += random() % 2 == 0 ? '7' : ' ';
    }
    std::size_t expected = 0;
    for (int lines = 1; lines <= 25 && expected < text.size(); ++lines) {
      expected = plainLineEnd(text, expected);
      TextReader in(text, "l.txt");
      in.skipLines(lines);
      std::size_t left = 0;
      while (!in.eof()) {
        in.get();
        ++left;
      }
      ASSERT_EQ(text.size() - left, expected) << "trial " << trial << ", line " << lines;
    }
  }
}

}  // namespace
}  // namespace pelk
