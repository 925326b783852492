#pragma once
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace pelk {

// Copies a SQLite store's log back into the database on a thread of its own, when asked, while
// the thread that asks goes on writing runs (copySqliteLogBackBeside). A request made while a
// copy runs makes one more copy after it.
class LogCopier {
 public:
  explicit LogCopier(std::string storePath);
  ~LogCopier();  // waits for a copy under way
  LogCopier(const LogCopier&) = delete;
  LogCopier& operator=(const LogCopier&) = delete;

  void request();

 private:
  void work();

  std::string path_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool requested_ = false;
  bool stop_ = false;
  std::thread thread_;  // last: it starts once the rest is set
};

}  // namespace pelk
