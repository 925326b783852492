#include "store/log_copier.h"

#include "store/sql_database.h"

namespace pelk {

LogCopier::LogCopier(std::string storePath)
    : path_(std::move(storePath)), thread_([this] { work(); }) {}

LogCopier::~LogCopier() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  wake_.notify_one();
  thread_.join();
}

void LogCopier::request() {
  {
    std::lock_guard lock(mutex_);
    requested_ = true;
  }
  wake_.notify_one();
}

void LogCopier::work() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return requested_ || stop_; });
    if (stop_) return;
    requested_ = false;
    lock.unlock();
    copySqliteLogBackBeside(path_);
    lock.lock();
  }
}

}  // namespace pelk
