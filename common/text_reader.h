#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "common/file_io.h"

namespace pelk {

// Reads a text file held in memory with the system's reading rules:
// - a number is a blank-separated token; blanks, tabs and line ends before it are skipped;
// - a number missing at the end of the file reads as 0;
// - a token that is not a number raises IoError "Invalid numeric input: NAME";
// - skipLine() moves past the next line end (CR LF, LF or a lone CR).
class TextReader {
 public:
  TextReader(std::string_view content, std::string name);
  // Loads the whole file; IoError when it cannot be read.
  static TextReader open(const std::string& path);
  // Reads the file a part at a time as reading advances, holding only the parts not yet read
  // past, for readers that stop early in large files (the map readers use a fifth of each map)
  // or need none of it twice. The file stays open while the reader lives and must not be
  // rewritten meanwhile. Opening fails as open() does; a later read failure raises IoError
  // "Cannot read file: NAME".
  static TextReader openInParts(const std::string& path);

  std::int32_t readInt();
  // Reads `count` numbers into `values`, as that many readInt() calls would.
  void readInts(std::int32_t* values, std::size_t count);
  double readReal();
  void skipLine();
  void skipLines(int count);
  // The rest of the current line, without its line end; the line end is consumed.
  std::string readLine();

  bool eof() const;
  // True when nothing but blanks and line ends is left: the next number would be missing.
  // Does not move the read position.
  bool seekEof() const;
  // True at a line end or at the end of the file.
  bool eoln() const;
  // Reads one character (0 at the end of the file).
  char get();
  char peek() const;
  const std::string& name() const { return name_; }

 private:
  // The next token after skipping blanks and line ends; empty at the end of the file.
  std::string_view nextToken();
  // The first byte from p on that is not a blank, tab, line end or other control character.
  static const char* skipBlanks(const char* p, const char* last);
  // An optional minus and one to nine digits from p, ended by a blank, a line end or, when
  // `lastIsEnd`, the end of the data: sets value and returns the end of the token; nullptr for
  // any other token.
  static const char* shortInteger(const char* p, const char* last, bool lastIsEnd,
                                  std::int32_t& value);
  // The same for an optional minus, digits, and a point with more digits after it, fifteen
  // digits at most in all: converted exactly, as the full conversion would.
  static const char* shortDecimal(const char* p, const char* last, bool lastIsEnd, double& value);
  // Appends the next part of the file, when the reader reads one in parts; false once it is all
  // in. May first drop what lies before the read position and before `mark` (an index into the
  // data that must stay), moving both to where their bytes now are.
  bool more(std::size_t* mark = nullptr) const;
  // Reads on until `count` bytes past the read position are in or the file is.
  void ensureAhead(std::size_t count) const;
  // readInt's full rules for a token of any shape.
  std::int32_t readIntToken();
  [[noreturn]] void invalid() const;

  // What has been read of the file, and the rest of it while reading in parts: loading more
  // does not change what the reader reads, so the read-only queries may load too.
  mutable ReadBuffer data_;
  std::string name_;
  // Moves with the data when reading in parts drops what was read (see more()).
  mutable std::size_t pos_ = 0;
  mutable std::unique_ptr<InFile> rest_;
};

}  // namespace pelk
