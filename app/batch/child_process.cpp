#include "app/batch/child_process.h"

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>

namespace pelk {
namespace {

int openOutput(const std::filesystem::path& path) {
  return ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
}

}  // namespace

pid_t startChild(const ChildSpec& spec, std::string& error) {
  const int out = openOutput(spec.stdoutFile);
  const int err = out < 0 ? -1 : openOutput(spec.stderrFile);
  if (out < 0 || err < 0) {
    error = "cannot create " + (out < 0 ? spec.stdoutFile : spec.stderrFile).string() + ": " +
            std::strerror(errno);
    if (out >= 0) ::close(out);
    return -1;
  }
  // Everything the child needs is built before the child starts: it shares this process's memory
  // until its exec (vfork), so it only makes system calls. Copying the batch's page tables for
  // every row (fork) cost more than all the rest of the batch's own work per row.
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(spec.program.c_str()));
  for (const std::string& a : spec.args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  int report[2];  // the child writes errno here when exec fails; closed by a successful exec
  if (::pipe2(report, O_CLOEXEC) != 0) {
    error = std::string("cannot start a row: ") + std::strerror(errno);
    ::close(out);
    ::close(err);
    return -1;
  }
  const pid_t parent = ::getpid();
  const pid_t pid = ::vfork();
  if (pid == 0) {
    ::setpgid(0, 0);
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent) ::_exit(127);  // the batch died before the line above
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    int nullIn = ::open("/dev/null", O_RDONLY);
    if (nullIn >= 0) ::dup2(nullIn, 0);
    ::dup2(out, 1);
    ::dup2(err, 2);
    if (spec.memoryLimitMb > 0) {
      rlimit limit{};
      limit.rlim_cur = limit.rlim_max = static_cast<rlim_t>(spec.memoryLimitMb) << 20;
      ::setrlimit(RLIMIT_AS, &limit);
    }
    ::execv(argv[0], argv.data());
    const int code = errno;
    [[maybe_unused]] ssize_t ignored = ::write(report[1], &code, sizeof code);
    ::_exit(127);
  }
  ::close(out);
  ::close(err);
  ::close(report[1]);
  if (pid < 0) {
    error = std::string("cannot start a row: ") + std::strerror(errno);
    ::close(report[0]);
    return -1;
  }
  ::setpgid(pid, pid);  // also from here, so the group exists before any kill
  int code = 0;
  ssize_t n;
  do n = ::read(report[0], &code, sizeof code);
  while (n < 0 && errno == EINTR);
  ::close(report[0]);
  if (n == static_cast<ssize_t>(sizeof code)) {
    ::waitpid(pid, nullptr, 0);
    error = "cannot run " + spec.program + ": " + std::strerror(code);
    return -1;
  }
  return pid;
}

void killChildGroup(pid_t pid, int signal) {
  if (pid > 0) ::kill(-pid, signal);
}

std::string describeEnd(int waitStatus) {
  if (WIFEXITED(waitStatus)) {
    const int code = WEXITSTATUS(waitStatus);
    return code == 0 ? std::string() : "exit status " + std::to_string(code);
  }
  if (WIFSIGNALED(waitStatus)) {
    const int sig = WTERMSIG(waitStatus);
    const char* name = sigabbrev_np(sig);
    return "killed by signal " + std::to_string(sig) +
           (name ? std::string(" (SIG") + name + ")" : "");
  }
  return "ended abnormally";
}

}  // namespace pelk
