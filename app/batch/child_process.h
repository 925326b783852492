#pragma once
#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

namespace pelk {

// A program to run for a row, its output kept in two files.
struct ChildSpec {
  std::string program;
  std::vector<std::string> args;  // without the program name
  std::filesystem::path stdoutFile, stderrFile;
  long memoryLimitMb = 0;  // address-space limit; 0 for none
};

// Starts the program in a process group of its own (so a signal meant for the batch reaches it
// only through the batch) that dies with the batch, even when the batch is killed outright.
// Returns the process id, or -1 with `error` set when it cannot be started.
pid_t startChild(const ChildSpec& spec, std::string& error);

// Ends a child and everything it started.
void killChildGroup(pid_t pid, int signal);

// How a child ended, in words for the summary; empty for a clean exit 0.
std::string describeEnd(int waitStatus);

}  // namespace pelk
