#include "app/cli/sibling_programs.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "common/running_program.h"

namespace pelk {
namespace {

struct SiblingRow {
  std::string_view word;
  std::string_view program;
};

constexpr SiblingRow kSiblings[] = {
    {"import", "pelk40-imaging"},
    {"robust-tpa", "pelk40-imaging"},
    {"study", "pelk40-imaging"},
    {"batch", "pelk40-batch"},
};

}  // namespace

std::optional<std::string_view> siblingProgramFor(std::string_view word) {
  for (const SiblingRow& row : kSiblings)
    if (row.word == word) return row.program;
  return std::nullopt;
}

int handOffToSibling(std::string_view sibling, std::string_view word, int argc,
                     const char* const* argv, std::ostream& out, std::ostream& err) {
  std::error_code ec;
  const std::filesystem::path self = runningProgram(ec);
  if (ec) {
    err << "pelk40-cli: " << word << ": cannot find this program's own folder to start " << sibling
        << ": " << ec.message() << '\n';
    return 1;
  }
  const std::filesystem::path target = self.parent_path() / sibling;
  // A sibling that lacks the word itself would start itself again, for ever.
  if (target == self) {
    err << "pelk40-cli: " << word << ": " << sibling << " does not run this command\n";
    return 1;
  }
  if (::access(target.c_str(), X_OK) != 0) {
    const int error = errno;
    err << "pelk40-cli: " << word << " needs " << sibling
        << ", which is not installed beside pelk40-cli (" << target.string()
        << "): " << std::strerror(error) << '\n';
    return 1;
  }
  // execv needs the list closed by a null pointer, which a caller's argv need not have.
  std::vector<char*> arguments;
  for (int i = 0; i < argc; ++i) arguments.push_back(const_cast<char*>(argv[i]));
  arguments.push_back(nullptr);
  out.flush();
  err.flush();
  ::execv(target.c_str(), arguments.data());
  const int error = errno;
  err << "pelk40-cli: " << word << ": cannot start " << target.string() << ": "
      << std::strerror(error) << '\n';
  return 1;
}

}  // namespace pelk
