#pragma once
#include <functional>
#include <string>
#include <vector>

#include "bench/scan_set.h"

namespace pelk::bench {

// The text lines an operation leaves for the user: a module's log or the results area. They are
// part of the output the golden check compares.
using Lines = std::vector<std::string>;

// One timed operation. `prepare` writes the files the operation reads (untimed); `run` is what is
// timed, file writes included. Given `lines`, run also leaves there the text the operation
// produced, for the golden check; timed runs pass none, so collecting it costs them nothing.
// `beforeEach`, when set, runs untimed before every run (a fresh window for a command).
struct BenchCase {
  std::string name;
  std::function<void(const ScanSet&)> prepare;
  std::function<void(const ScanSet&, Lines* lines)> run;
  std::function<void(const ScanSet&)> beforeEach = {};
};

void addCase(BenchCase c);
const std::vector<BenchCase>& allCases();

// The groups of cases, each registered by its own file.
void addModuleCases();
void addSqlCases();
void addCommandCases();
void addStoreCases();

}  // namespace pelk::bench
