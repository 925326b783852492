#pragma once
#include <atomic>
#include <string>

#include "common/io_error.h"

namespace pelk {

// Thrown at a cancellation point once the user has asked the running command to stop. It is an
// IoError so a cancelled command ends where a failed one would: lines and files made so far stay.
class CommandCancelled : public IoError {
 public:
  CommandCancelled() : IoError("Cancelled by the user") {}
};

// What a front end running a command on another thread shares with it: a cancel request the
// command polls at its step boundaries, and how far it has got, for a progress bar. Every member
// may be used from any thread.
class CommandControl {
 public:
  // Called by the front end before the command starts.
  void reset() {
    cancel_ = false;
    done_ = 0;
    total_ = 0;
  }
  void requestCancel() { cancel_ = true; }
  bool cancelRequested() const { return cancel_; }
  // A cancellation point: long loops call it between units of work.
  void throwIfCancelled() const {
    if (cancel_) throw CommandCancelled();
  }

  // `done` of `total` units finished; a total of 0 (the default) means "busy, length unknown".
  void setProgress(int done, int total) {
    total_ = total;
    done_ = done;
  }
  int done() const { return done_; }
  int total() const { return total_; }

 private:
  std::atomic<bool> cancel_{false};
  std::atomic<int> done_{0};
  std::atomic<int> total_{0};
};

}  // namespace pelk
