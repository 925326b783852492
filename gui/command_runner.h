#pragma once
#include <QObject>
#include <QThread>
#include <functional>

namespace pelk {

// Runs one command at a time on a worker thread so the window keeps painting, and says on the
// window's thread when it has ended. The command must not touch widgets; the workbench's dialogs
// reach the window's thread by themselves (QtDialogs).
class CommandRunner : public QObject {
  Q_OBJECT

 public:
  using QObject::QObject;
  ~CommandRunner() override;

  bool busy() const { return thread_ != nullptr; }
  // Starts `command`; false (and nothing runs) while another command is still running.
  bool start(std::function<void()> command);
  // Blocks until the running command has ended (shut-down only).
  void wait();

 Q_SIGNALS:
  void finished();

 private:
  QThread* thread_ = nullptr;
};

}  // namespace pelk
