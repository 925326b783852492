#include "tests/support/process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include "tests/support/files.h"

extern char** environ;

namespace pelk::test {

Finished runProcess(const std::vector<std::string>& args) {
  std::vector<std::string> all = args;
  std::vector<char*> argv;
  for (auto& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  posix_spawn_file_actions_addopen(&files, 1, "cli-out.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&files, 2, "cli-err.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = 0;
  Finished f;
  const int spawned = posix_spawn(&pid, argv[0], &files, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&files);
  if (spawned != 0) return f;
  int status = 0;
  waitpid(pid, &status, 0);
  f.exited = WIFEXITED(status);
  f.status = f.exited ? WEXITSTATUS(status) : -WTERMSIG(status);
  f.out = readFile("cli-out.txt");
  f.err = readFile("cli-err.txt");
  return f;
}

}  // namespace pelk::test
