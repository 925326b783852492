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

std::string shownStoreName(const std::string& url) {
  auto scheme = url.find("://");
  if (scheme == std::string::npos) return url;
  std::string shown = url;
  if (auto query = shown.find("password=", shown.find('?'));
      query != std::string::npos && shown.find('?') != std::string::npos)
    shown.replace(query + 9, shown.find('&', query) - (query + 9), "***");
  auto at = shown.find('@');
  auto colon = shown.find(':', scheme + 3);
  if (at == std::string::npos || colon == std::string::npos || colon > at) return shown;
  return shown.substr(0, colon) + ":***" + shown.substr(at);
}

std::optional<StoreLocation> chooseStore(const std::optional<std::string>& option, bool noStore) {
  if (noStore) return std::nullopt;
  if (option) return StoreLocation{*option, false};
  if (auto named = environment("PELK40_STORE")) return StoreLocation{*named, false};
  std::string folder;
  if (auto data = environment("XDG_DATA_HOME")) folder = *data + "/pelk40";
  else if (auto home = environment("HOME")) folder = *home + "/.local/share/pelk40";
  else return std::nullopt;  // no user folder to keep results in
  return StoreLocation{"sqlite:" + folder + "/results.sqlite", true};
}

}  // namespace pelk
