#include "app/batch/input_hash.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

#include "app/batch/hash_fields.h"

namespace pelk {
namespace {

const char* const kScanNames[] = {"std scan", "ref scan", "third scan"};
const char* const kStudyNames[] = {"baseline", "followup1", "followup2"};

// Adds one regular file's bytes; an error text when it cannot.
std::string addFile(Sha256& hash, const std::string& path) {
  // O_NONBLOCK: opening a pipe must not wait for a writer that never comes.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT ? "not found" : std::strerror(errno);
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return "not a regular file";
  }
  std::vector<char> buffer(1 << 16);
  std::string problem;
  for (;;) {
    const ssize_t n = ::read(fd, buffer.data(), buffer.size());
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      problem = std::strerror(errno);
      break;
    }
    hash.add(std::string_view(buffer.data(), static_cast<std::size_t>(n)));
  }
  ::close(fd);
  return problem;
}

// A study may be a folder (a DICOM series); a scan is one file.
std::string addInput(Sha256& hash, const std::string& path, bool folderAllowed) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (!folderAllowed || !fs::is_directory(path, ec)) return addFile(hash, path);
  std::vector<std::string> files;
  for (fs::recursive_directory_iterator it(path, ec), end; !ec && it != end; it.increment(ec))
    if (it->is_regular_file(ec)) files.push_back(it->path().lexically_relative(path).string());
  if (ec) return ec.message();
  if (files.empty()) return "an empty folder";
  std::sort(files.begin(), files.end());
  for (const std::string& name : files) {
    addField(hash, name);
    std::string problem = addFile(hash, (fs::path(path) / name).string());
    if (!problem.empty()) return name + ": " + problem;
  }
  return {};
}

}  // namespace

std::string hashRowInputs(const ManifestRow& row, const std::string& commands, std::string& error) {
  Sha256 hash;
  for (const std::string* text : {&commands, &row.patient, &row.test, &row.hospital, &row.date})
    addField(hash, *text);
  for (int i = 0; i < 3; ++i) {
    addField(hash, row.kind == RowKind::Scans ? "scan" : "study");
    std::string problem = addInput(hash, row.inputs[i], row.kind == RowKind::Studies);
    if (!problem.empty()) {
      const char* name = row.kind == RowKind::Scans ? kScanNames[i] : kStudyNames[i];
      error = std::string("cannot read the ") + name + " " + row.inputs[i] + ": " + problem;
      return {};
    }
  }
  return hash.hex();
}

}  // namespace pelk
