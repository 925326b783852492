#include "bench/write_recorder.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <sys/uio.h>
#include <unistd.h>

extern "C" {
std::FILE* __real_fopen(const char* path, const char* mode);
std::size_t __real_fwrite(const void* data, std::size_t size, std::size_t count, std::FILE* f);
int __real_fclose(std::FILE* f);
std::FILE* __wrap_fopen(const char* path, const char* mode);
std::size_t __wrap_fwrite(const void* data, std::size_t size, std::size_t count, std::FILE* f);
int __wrap_fclose(std::FILE* f);
int __real_open(const char* path, int flags, ...);
std::FILE* __real_fdopen(int fd, const char* mode);
int __wrap_open(const char* path, int flags, ...);
std::FILE* __wrap_fdopen(int fd, const char* mode);
ssize_t __real_writev(int fd, const struct iovec* parts, int count);
int __real_close(int fd);
ssize_t __wrap_writev(int fd, const struct iovec* parts, int count);
int __wrap_close(int fd);
}

namespace pelk::bench {
namespace {

bool recording = false;
std::map<std::FILE*, WrittenFile> openFiles;
// Output files are created with open() and written with writev() and close(); a descriptor
// given a stream with fdopen() is followed through the stream instead.
std::map<int, WrittenFile> createdDescriptors;
std::vector<WrittenFile> closedFiles;

// A recorded file is complete once closed, whether through its stream or its descriptor.
template <class Key>
void closeRecorded(std::map<Key, WrittenFile>& open, Key key) {
  auto it = open.find(key);
  if (it == open.end()) return;
  closedFiles.push_back(std::move(it->second));
  open.erase(it);
}

}  // namespace

WriteRecording::WriteRecording() {
  openFiles.clear();
  closedFiles.clear();
  createdDescriptors.clear();
  recording = true;
}

WriteRecording::~WriteRecording() {
  recording = false;
  createdDescriptors.clear();
  openFiles.clear();
  closedFiles.clear();
}

std::vector<WrittenFile> WriteRecording::take() { return std::move(closedFiles); }

std::size_t totalBytes(const std::vector<WrittenFile>& files) {
  std::size_t total = 0;
  for (const WrittenFile& f : files) total += f.bytes.size();
  return total;
}

}  // namespace pelk::bench

using namespace pelk::bench;

std::FILE* __wrap_fopen(const char* path, const char* mode) {
  std::FILE* f = __real_fopen(path, mode);
  if (recording && f && std::strchr(mode, 'w')) openFiles[f] = WrittenFile{path, {}};
  return f;
}

std::size_t __wrap_fwrite(const void* data, std::size_t size, std::size_t count, std::FILE* f) {
  const std::size_t put = __real_fwrite(data, size, count, f);
  if (recording) {
    auto it = openFiles.find(f);
    if (it != openFiles.end()) it->second.bytes.append(static_cast<const char*>(data), put * size);
  }
  return put;
}

int __wrap_fclose(std::FILE* f) {
  if (recording) closeRecorded(openFiles, f);
  return __real_fclose(f);
}

int __wrap_open(const char* path, int flags, ...) {
  mode_t mode = 0;
  if (flags & (O_CREAT | O_TMPFILE)) {
    va_list args;
    va_start(args, flags);
    mode = va_arg(args, mode_t);
    va_end(args);
  }
  const int fd = __real_open(path, flags, mode);
  if (recording && fd >= 0 && (flags & O_ACCMODE) != O_RDONLY)
    createdDescriptors[fd] = WrittenFile{path, {}};
  return fd;
}

std::FILE* __wrap_fdopen(int fd, const char* mode) {
  std::FILE* f = __real_fdopen(fd, mode);
  if (recording) {
    auto it = createdDescriptors.find(fd);
    if (it != createdDescriptors.end()) {
      if (f) openFiles[f] = std::move(it->second);
      createdDescriptors.erase(it);
    }
  }
  return f;
}

ssize_t __wrap_writev(int fd, const struct iovec* parts, int count) {
  const ssize_t put = __real_writev(fd, parts, count);
  if (recording && put > 0) {
    auto it = createdDescriptors.find(fd);
    if (it != createdDescriptors.end()) {
      auto left = static_cast<std::size_t>(put);
      for (int k = 0; k < count && left > 0; ++k) {
        const std::size_t take = std::min(left, parts[k].iov_len);
        it->second.bytes.append(static_cast<const char*>(parts[k].iov_base), take);
        left -= take;
      }
    }
  }
  return put;
}

int __wrap_close(int fd) {
  if (recording) closeRecorded(createdDescriptors, fd);
  return __real_close(fd);
}
