#include "gui/command_runner.h"

namespace pelk {

CommandRunner::~CommandRunner() {
  wait();
  delete thread_;
}

bool CommandRunner::start(std::function<void()> command) {
  if (thread_) return false;
  thread_ = QThread::create(std::move(command));
  connect(thread_, &QThread::finished, this, [this] {
    thread_->deleteLater();
    thread_ = nullptr;
    Q_EMIT finished();
  });
  thread_->start();
  return true;
}

void CommandRunner::wait() {
  if (thread_) thread_->wait();
}

}  // namespace pelk
