#include "profiles/tform102.h"

#include <cstring>

namespace pelk {
namespace {

void welcome(ModuleLog& log) {
  log.add("Welcome to Corlune");
  log.addEmpty();
}

}  // namespace

TForm102::TForm102() { welcome(Memo1); }

TForm102::TForm102(SharedState& shared) : state_(shared) { welcome(Memo1); }

void RankAnalysisState::reset() {
  // Cleared in place: the state is too large for a temporary on a worker thread's stack.
  std::memset(cores.data(), 0, sizeof cores);
  std::memset(fg1Grid.data(), 0, sizeof fg1Grid);
  fg1Table.entries.fill(ScanRegion{});
  fg1Table.count = 0;
}

}  // namespace pelk
