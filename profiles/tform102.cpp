#include "profiles/tform102.h"

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
  cores.clear();
  fg1Grid.clear();
  fg1Table.entries.fill(ScanRegion{});
  fg1Table.count = 0;
}

}  // namespace pelk
