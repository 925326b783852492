#pragma once

namespace pelk {

// Turns SIGINT, SIGTERM and SIGCHLD into bytes on a pipe, so one poll() waits for a child to
// end, for Ctrl+C and for a timer alike. One watch at a time per process; the handlers it
// replaced come back when it ends.
class SignalWatch {
 public:
  SignalWatch();
  ~SignalWatch();
  SignalWatch(const SignalWatch&) = delete;
  SignalWatch& operator=(const SignalWatch&) = delete;

  // Waits up to `timeoutMs` for a signal; drains the pipe.
  void wait(int timeoutMs);
  bool stopRequested() const;
};

}  // namespace pelk
