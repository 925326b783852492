#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <random>
#include <stdexcept>

#include "app/batch/atomic_file.h"
#include "app/batch/row_source.h"

namespace pelk {
namespace {

// The lock is the flock on the file, not the file: it goes with the process, so a worker that
// was killed leaves no lock behind. The file is never removed, since a worker that removed it
// could lock a new file while another still holds the old one.
class FolderLock {
 public:
  explicit FolderLock(const std::filesystem::path& dir) {
    const auto path = dir / "batch.lock";
    fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0)
      throw std::runtime_error("cannot create " + path.string() + ": " + std::strerror(errno));
    if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
      std::string holder;
      readSmallFile(path, holder);
      while (!holder.empty() && holder.back() == '\n') holder.pop_back();
      ::close(fd_);
      throw std::runtime_error(
          "another batch is already running on " + dir.string() +
          (holder.empty() ? std::string() : " (" + holder + ")") +
          "; without a PostgreSQL store only one batch works on an output folder at a time");
    }
    const std::string me = workerName() + "\n";
    if (::ftruncate(fd_, 0) != 0 || ::write(fd_, me.data(), me.size()) < 0) {
      // The lock holds without the name; the name only helps the message of a second worker.
    }
  }
  ~FolderLock() { ::close(fd_); }
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

 private:
  int fd_ = -1;
};

class LocalRowSource : public RowSource {
 public:
  LocalRowSource(const std::string& manifest, const std::string& outDir)
      : lock_(outDir), reader_(std::make_unique<ManifestReader>(manifest)), runId_(newRunId()) {}
  const std::string& runId() const override { return runId_; }
  bool take(ManifestRow& row) override {
    if (done_) return false;
    done_ = !reader_->next(row);
    // The reader's memory of the rows seen goes before the summary reads the manifest again.
    if (done_) reader_.reset();
    return !done_;
  }
  bool allDone() override { return done_; }

 private:
  FolderLock lock_;
  std::unique_ptr<ManifestReader> reader_;
  std::string runId_;
  bool done_ = false;
};

}  // namespace

std::string workerName() {
  char host[256] = {};
  ::gethostname(host, sizeof host - 1);
  return std::string("host ") + host + ", process " + std::to_string(::getpid());
}

std::string newRunId() {
  std::random_device random;
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  return std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(now).count()) + "-" +
         std::to_string(random());
}

std::unique_ptr<RowSource> localRowSource(const std::string& manifest, const std::string& outDir) {
  return std::make_unique<LocalRowSource>(manifest, outDir);
}

}  // namespace pelk
