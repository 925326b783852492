#include "app/batch/signal_watch.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <stdexcept>

namespace pelk {
namespace {

// A signal handler can reach only what is static; the watch owns it while it lives.
int wakeFds[2] = {-1, -1};
volatile std::sig_atomic_t stopSignal = 0;
struct sigaction previous[3];
constexpr int kSignals[3] = {SIGINT, SIGTERM, SIGCHLD};

void onSignal(int sig) {
  const int saved = errno;
  if (sig != SIGCHLD) stopSignal = sig;
  const char byte = 0;
  [[maybe_unused]] ssize_t ignored = ::write(wakeFds[1], &byte, 1);
  errno = saved;
}

}  // namespace

SignalWatch::SignalWatch() {
  if (::pipe2(wakeFds, O_CLOEXEC | O_NONBLOCK) != 0)
    throw std::runtime_error("cannot make the signal pipe");
  stopSignal = 0;
  struct sigaction action {};
  action.sa_handler = onSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART | SA_NOCLDSTOP;
  for (int i = 0; i < 3; ++i) ::sigaction(kSignals[i], &action, &previous[i]);
}

SignalWatch::~SignalWatch() {
  for (int i = 0; i < 3; ++i) ::sigaction(kSignals[i], &previous[i], nullptr);
  ::close(wakeFds[0]);
  ::close(wakeFds[1]);
  wakeFds[0] = wakeFds[1] = -1;
}

void SignalWatch::wait(int timeoutMs) {
  pollfd fd{wakeFds[0], POLLIN, 0};
  if (::poll(&fd, 1, timeoutMs < 0 ? 0 : timeoutMs) > 0) {
    char drain[64];
    while (::read(wakeFds[0], drain, sizeof drain) > 0) {
    }
  }
}

bool SignalWatch::stopRequested() const { return stopSignal != 0; }

}  // namespace pelk
