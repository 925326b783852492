#include "app/cli/cli_commands.h"

#include "app/cli/cli_program.h"
#include "workbench/workbench.h"

namespace pelk {
namespace {

void plotWith(Workbench& w, int item) {
  w.RadioGroup1 = item;
  w.Button2Click();
}

}  // namespace

const std::vector<CliCommand>& cliCommands() {
  static const std::vector<CliCommand> table = {
      {"plot-std", false, [](Workbench& w) { plotWith(w, 0); }},
      {"plot-ref", false, [](Workbench& w) { plotWith(w, 1); }},
      {"plot", false, [](Workbench& w) { plotWith(w, -1); }},
      {"rra1", false, [](Workbench& w) { w.Button3Click(); }},
      {"rra2", false, [](Workbench& w) { w.Button4Click(); }},
      {"mchs", false, [](Workbench& w) { w.Button5Click(); }},
      {"zchs", false, [](Workbench& w) { w.Button6Click(); }},
      {"cluster", false, [](Workbench& w) { w.Button8Click(); }},
      {"diff", false, [](Workbench& w) { w.Button7Click(); }},
      {"tpa", false, [](Workbench& w) { w.Button13Click(); }},
      {"synopsis1", false, [](Workbench& w) { w.SyClick(); }},
      {"synopsis2", false, [](Workbench& w) { w.Button16Click(); }},
      {"tes", false, [](Workbench& w) { w.Button9Click(); }},
      {"false-color", false, [](Workbench& w) { w.Button15Click(); }},
      {"robust-tpa", false, {}},
      {"save-image", true, [](Workbench& w) { w.Button10Click(); }},
      {"save-results", true, [](Workbench& w) { w.Button12Click(); }},
  };
  return table;
}

std::optional<BoundCommand> bindCommand(std::string_view given, const CliProgram& program) {
  std::size_t equals = given.find('=');
  std::string_view word = given.substr(0, equals);
  for (const CliCommand& row : cliCommands()) {
    if (row.word != word) continue;
    const CliCommand* local = program.command(word);
    const CliCommand& command = local ? *local : row;
    bool hasText = equals != std::string_view::npos;
    if (hasText != command.takesText) return std::nullopt;
    BoundCommand bound{&command, std::string(given), std::nullopt};
    if (hasText) bound.typedText = std::string(given.substr(equals + 1));
    return bound;
  }
  return std::nullopt;
}

}  // namespace pelk
