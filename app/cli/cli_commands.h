#pragma once
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelk {

class Workbench;
struct CliProgram;

// One command word of the headless front end and the window command it runs.
struct CliCommand {
  std::string_view word;
  // "WORD=TEXT": TEXT is what the user would type into the command's input box.
  bool takesText = false;
  // Empty when the word runs in a sibling executable (app/cli/sibling_programs.h), unless the
  // running program supplies a row of its own (CliProgram::commands).
  std::function<void(Workbench&)> run;
};

// Every command word, in the order the help lists them. A new word is one more row.
const std::vector<CliCommand>& cliCommands();

// A command word as given on the command line, matched against the table.
struct BoundCommand {
  const CliCommand* command = nullptr;
  std::string given;                     // the word exactly as typed, for messages
  std::optional<std::string> typedText;  // the text after "=" for words that take one
};

// Nothing when the word is not in the table (or takes text it cannot have, or lacks it). The
// program's own row of the word, if it has one, is the one bound.
std::optional<BoundCommand> bindCommand(std::string_view given, const CliProgram& program);

}  // namespace pelk
