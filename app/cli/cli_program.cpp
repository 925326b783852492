#include "app/cli/cli_program.h"

#include "app/cli/cli_history.h"
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
      // "history": the runs kept in the results store.
      {"history",
       [](const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
         std::vector<const char*> argv{"history"};
         for (const std::string& arg : args) argv.push_back(arg.c_str());
         return runHistoryCommand(static_cast<int>(argv.size()), argv.data(), out, err);
       }},
  };
  return words;
}

const CliProgram& lightCliProgram() {
  static const CliProgram program{.commands = {}, .standalone = lightStandaloneWords()};
  return program;
}

}  // namespace pelk
