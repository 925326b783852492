#include "app/cli/cli_program.h"

#include "app/cli/cli_history.h"
#include "app/cli/report_command.h"
#include "store/store_writer.h"

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
      // "store-writer PATH": a store's resident writer, started by a command line (not for users).
      {"store-writer",
       [](const std::vector<std::string>& args, std::ostream&, std::ostream& err) {
         if (args.size() != 1 || !args[0].starts_with('/')) {
           err << "pelk40-cli: store-writer takes the absolute path of a SQLite store\n";
           return 2;
         }
         return serveStoreWriter(args[0], kWriterIdleTime);
       }},
  };
  return words;
}

const CliProgram& lightCliProgram() {
  static const CliProgram program{.commands = {}, .standalone = lightStandaloneWords()};
  return program;
}

}  // namespace pelk
