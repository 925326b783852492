#include <cstdlib>
#include <string>

#include "store/result_store.h"

namespace pelk {
namespace {

std::optional<std::string> environment(const char* name) {
  const char* value = std::getenv(name);
  if (!value || !*value) return std::nullopt;
  return std::string(value);
}

}  // namespace

std::optional<StoreLocation> chooseStore(const std::optional<std::string>& option, bool noStore) {
  if (noStore) return std::nullopt;
  if (option) return StoreLocation{*option, false};
  if (auto named = environment("PELK40_STORE")) return StoreLocation{*named, false};
  std::string folder;
  if (auto data = environment("XDG_DATA_HOME"))
    folder = *data + "/pelk40";
  else if (auto home = environment("HOME"))
    folder = *home + "/.local/share/pelk40";
  else
    return std::nullopt;  // no user folder to keep results in
  return StoreLocation{"sqlite:" + folder + "/results.sqlite", true};
}

}  // namespace pelk
