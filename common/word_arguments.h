#pragma once
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include <CLI/CLI.hpp>

namespace pelk {

// Parses the arguments of a word that runs alone ("import SOURCE --out FILE ..."), with the
// options set up on `app`. Returns the status to end with when the run stops here: 0 after
// --help (the usage printed to `out`), 2 after bad usage ("error: WORD: ..." and the usage to
// `err`); nothing when the word goes on. `check` may throw CLI::ValidationError for rules that
// join several options.
inline std::optional<int> parseWordArguments(CLI::App& app, const std::vector<std::string>& args,
                                             std::string_view word, std::ostream& out,
                                             std::ostream& err,
                                             const std::function<void()>& check = {}) {
  std::vector<std::string> reversed(args.rbegin(), args.rend());  // CLI11 takes them last first
  try {
    app.parse(reversed);
    if (check) check();
  } catch (const CLI::CallForHelp&) {
    out << app.help();
    return 0;
  } catch (const CLI::ParseError& e) {
    err << "error: " << word << ": " << e.what() << '\n' << app.help();
    return 2;
  }
  return std::nullopt;
}

}  // namespace pelk
