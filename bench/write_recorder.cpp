#include "bench/write_recorder.h"

#include <cstdio>
#include <cstring>
#include <map>

extern "C" {
std::FILE* __real_fopen(const char* path, const char* mode);
std::size_t __real_fwrite(const void* data, std::size_t size, std::size_t count, std::FILE* f);
int __real_fclose(std::FILE* f);
std::FILE* __wrap_fopen(const char* path, const char* mode);
std::size_t __wrap_fwrite(const void* data, std::size_t size, std::size_t count, std::FILE* f);
int __wrap_fclose(std::FILE* f);
}

namespace pelk::bench {
namespace {

bool recording = false;
std::map<std::FILE*, WrittenFile> openFiles;
std::vector<WrittenFile> closedFiles;

}  // namespace

WriteRecording::WriteRecording() {
  openFiles.clear();
  closedFiles.clear();
  recording = true;
}

WriteRecording::~WriteRecording() {
  recording = false;
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
  if (recording) {
    auto it = openFiles.find(f);
    if (it != openFiles.end()) {
      closedFiles.push_back(std::move(it->second));
      openFiles.erase(it);
    }
  }
  return __real_fclose(f);
}
