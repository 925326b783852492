#include "tests/batch/batch_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "app/batch/csv_reader.h"
#include "tests/support/files.h"

namespace pelk::test {

BatchProcess BatchProcess::start(const std::vector<std::string>& args,
                                 const std::vector<std::pair<std::string, std::string>>& env,
                                 const std::string& name) {
  BatchProcess p;
  p.outFile = name + "-out.txt";
  p.errFile = name + "-err.txt";
  std::vector<std::string> all{PELK40_BATCH};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  p.pid = ::fork();
  if (p.pid == 0) {
    for (const auto& [key, value] : env) ::setenv(key.c_str(), value.c_str(), 1);
    const int out = ::open(p.outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = ::open(p.errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ::dup2(out, 1);
    ::dup2(err, 2);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  return p;
}

int BatchProcess::wait(int seconds) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  for (;;) {
    int status = 0;
    if (::waitpid(pid, &status, WNOHANG) == pid)
      return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    if (std::chrono::steady_clock::now() > deadline) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, &status, 0);
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

std::string BatchProcess::out() const { return readFile(outFile); }
std::string BatchProcess::err() const { return readFile(errFile); }

std::vector<std::vector<std::pair<std::string, std::string>>> readSummary(const std::string& dir) {
  std::vector<std::vector<std::pair<std::string, std::string>>> rows;
  std::FILE* file = std::fopen((dir + "/batch-summary.csv").c_str(), "rb");
  if (!file) return rows;
  CsvReader reader(file);
  CsvRecord header, record;
  reader.next(header);
  while (reader.next(record)) {
    std::vector<std::pair<std::string, std::string>> row;
    for (std::size_t i = 0; i < header.fields.size() && i < record.fields.size(); ++i)
      row.emplace_back(header.fields[i], record.fields[i]);
    rows.push_back(row);
  }
  std::fclose(file);
  return rows;
}

std::string column(const std::vector<std::pair<std::string, std::string>>& row,
                   const std::string& name) {
  for (const auto& [key, value] : row)
    if (key == name) return value;
  return "<no column " + name + ">";
}

bool eventually(int seconds, const std::function<bool()>& done) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

}  // namespace pelk::test
