#pragma once
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/read_buffer.h"

namespace pelk {

// Reads a whole regular file in one go. Throws IoError "File not found: NAME" when it does not
// exist, and a clear IoError when it is a directory, a device or otherwise unreadable.
std::string readWholeFile(const std::string& path);

// The message readWholeFile and InFile give for a name that does not exist, when it does not;
// otherwise nothing. For a caller that expects the file to be missing: a first exception costs a
// short process more than the look (its unwind tables are paged in).
std::optional<std::string> fileNotFound(const std::string& path);

// Reads at most `count` bytes from the start of a file (for header readers).
std::string readFileHead(const std::string& path, std::size_t count);

// An input file read a part at a time, for readers that usually stop well before its end. It is
// opened, and refused, exactly as readWholeFile opens and refuses a file.
class InFile {
 public:
  explicit InFile(const std::string& path);
  ~InFile();
  InFile(const InFile&) = delete;
  InFile& operator=(const InFile&) = delete;

  // The file's size when it was opened.
  std::size_t size() const { return size_; }
  // Appends up to `count` further bytes of the file to `out`; returns how many (0 at its end).
  // IoError "Cannot read file: NAME" when the read fails.
  std::size_t appendTo(std::string& out, std::size_t count);
  std::size_t appendTo(ReadBuffer& out, std::size_t count);

 private:
  template <class Buffer>
  std::size_t read(Buffer& out, std::size_t count);
  std::string path_;
  std::FILE* file_ = nullptr;
  std::size_t size_ = 0;
};

// An output file that is created (or truncated) at once and written with one gathered write.
// Build the content with text()/line(); close() writes it. Long runs of text that never change
// (the zero fields that fill most of a map file) can be added by reference with appendLasting
// instead of being copied into the buffer. If the owner is left through an exception before
// close(), the destructor writes what was built so far, so a failed run leaves the file as far
// as it got.
class OutFile {
 public:
  explicit OutFile(std::string path);
  ~OutFile();
  OutFile(const OutFile&) = delete;
  OutFile& operator=(const OutFile&) = delete;

  // The buffer is only ever appended to: text added by reference is placed by its offset in it.
  std::string& text() { return buffer_; }
  // Appends the text and a CR LF line end.
  void line(std::string_view text);
  void endLine() { buffer_ += "\r\n"; }
  // Appends text that is written from where it stands when the file is closed: it must outlive
  // the OutFile (a static table of finished text).
  void appendLasting(std::string_view text);
  void close();
  const std::string& path() const { return path_; }

 private:
  struct LastingText {
    std::size_t at;  // the buffer's size when the text was added
    std::string_view text;
  };
  bool writeAll();
  std::string path_;
  std::string buffer_;
  std::vector<LastingText> lasting_;
  int fd_ = -1;
};

// Writes a whole file at once (create or replace). Throws IoError on failure.
void writeWholeFile(const std::string& path, std::string_view content);

}  // namespace pelk
