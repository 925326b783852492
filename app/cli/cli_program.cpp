#include "app/cli/cli_program.h"

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

const CliProgram& lightCliProgram() {
  static const CliProgram program;
  return program;
}

}  // namespace pelk
