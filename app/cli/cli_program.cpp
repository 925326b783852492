#include "app/cli/cli_program.h"

#include "app/cli/report_command.h"

namespace pelk {

const CliCommand* CliProgram::command(std::string_view word) const {
  for (const CliCommand& row : commands)
    if (row.word == word) return &row;
  return nullptr;
}

const StandaloneWord* CliProgram::standaloneWord(std::string_view word) const {
  for (const StandaloneWord& row : standalone)
    if (row.word == word) return &row;
  return nullptr;
}

const std::vector<StandaloneWord>& lightStandaloneWords() {
  static const std::vector<StandaloneWord> words = {
      // "report --dir DIR --out FILE.html": the picture report of a folder an earlier run left.
      {"report", runReportCommand},
  };
  return words;
}

const CliProgram& lightCliProgram() {
  static const CliProgram program{.commands = {}, .standalone = lightStandaloneWords()};
  return program;
}

}  // namespace pelk
