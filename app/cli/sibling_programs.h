#pragma once
#include <optional>
#include <ostream>
#include <string_view>

namespace pelk {

// The executable, in the same folder as the running one, that runs a word needing libraries the
// light pelk40-cli does not load. A new heavy word is one more row in sibling_programs.cpp.
std::optional<std::string_view> siblingProgramFor(std::string_view word);

// Replaces this process with the sibling executable, handing it the whole command line unchanged
// (argv as given, the working directory and the environment as they are). Returns only when that
// cannot be done, after saying why on err, with the exit status to end with (1).
int handOffToSibling(std::string_view sibling, std::string_view word, int argc,
                     const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace pelk
