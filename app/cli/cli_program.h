#pragma once
#include <functional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "app/cli/cli_commands.h"

namespace pelk {

// A word that is the whole command line on its own ("import SOURCE --out FILE ..."): it gets the
// arguments after the word and returns the exit status.
struct StandaloneWord {
  std::string_view word;
  std::function<int(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)>
      run;
};

// What one executable runs in its own process. Every word the command table or the sibling table
// knows is accepted by every executable; a word this program does not run is handed, with the
// whole command line, to the sibling executable that does (app/cli/sibling_programs.h).
struct CliProgram {
  // Rows that run here in place of the table's row of the same word.
  std::vector<CliCommand> commands;
  std::vector<StandaloneWord> standalone;
  // The program that runs a SQLite store's resident writer ("store-writer PATH"), started on a
  // command line's first stored run; empty: every run is written by its own process.
  std::string storeWriter = "";

  const CliCommand* command(std::string_view word) const;
  const StandaloneWord* standaloneWord(std::string_view word) const;
};

// The words that run alone in the light program; every sibling runs them too.
const std::vector<StandaloneWord>& lightStandaloneWords();

// pelk40-cli itself: the legacy commands only.
const CliProgram& lightCliProgram();

}  // namespace pelk
