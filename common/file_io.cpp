#include "common/file_io.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

#include "common/io_error.h"

namespace pelk {
namespace {

// Nothing this system reads legitimately comes near this; a larger file is refused rather
// than loaded.
constexpr long long kMaxInputBytes = 512LL * 1024 * 1024;

std::FILE* openForReading(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    if (errno == ENOENT || errno == ENOTDIR) throw IoError("File not found: " + path);
    throw IoError("Cannot open file: " + path + " (" + std::strerror(errno) + ")");
  }
  struct stat st {};
  if (fstat(fileno(f), &st) != 0 || !S_ISREG(st.st_mode)) {
    std::fclose(f);
    throw IoError("Cannot open file: " + path + " (not a regular file)");
  }
  if (st.st_size > kMaxInputBytes) {
    std::fclose(f);
    throw IoError("File too large: " + path);
  }
  return f;
}

}  // namespace

std::string readWholeFile(const std::string& path) {
  std::FILE* f = openForReading(path);
  struct stat st {};
  fstat(fileno(f), &st);
  std::string data(static_cast<std::size_t>(st.st_size), '\0');
  std::size_t got = data.empty() ? 0 : std::fread(data.data(), 1, data.size(), f);
  bool failed = std::ferror(f) != 0;
  std::fclose(f);
  if (failed) throw IoError("Cannot read file: " + path);
  data.resize(got);
  return data;
}

std::string readFileHead(const std::string& path, std::size_t count) {
  std::FILE* f = openForReading(path);
  std::string data(count, '\0');
  std::size_t got = count ? std::fread(data.data(), 1, count, f) : 0;
  bool failed = std::ferror(f) != 0;
  std::fclose(f);
  if (failed) throw IoError("Cannot read file: " + path);
  data.resize(got);
  return data;
}

OutFile::OutFile(std::string path) : path_(std::move(path)) {
  file_ = std::fopen(path_.c_str(), "wb");
  if (!file_) throw IoError("Cannot create file: " + path_ + " (" + std::strerror(errno) + ")");
}

OutFile::~OutFile() {
  if (file_) {
    flush();
    std::fclose(file_);
  }
}

void OutFile::line(std::string_view text) {
  buffer_.append(text);
  buffer_ += "\r\n";
}

void OutFile::flush() {
  if (!buffer_.empty()) std::fwrite(buffer_.data(), 1, buffer_.size(), file_);
  buffer_.clear();
}

void OutFile::close() {
  if (!file_) return;
  std::size_t size = buffer_.size();
  std::size_t put = size ? std::fwrite(buffer_.data(), 1, size, file_) : 0;
  buffer_.clear();
  int closed = std::fclose(file_);
  file_ = nullptr;
  if (put != size || closed != 0) throw IoError("Cannot write file: " + path_);
}

void writeWholeFile(const std::string& path, std::string_view content) {
  OutFile out(path);
  out.text().assign(content);
  out.close();
}

}  // namespace pelk
