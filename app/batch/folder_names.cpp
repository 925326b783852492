#include "app/batch/folder_names.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "app/batch/hash_fields.h"

namespace pelk {
namespace {

constexpr std::size_t kMaxPrefix = 48;

bool safeByte(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
         c == '_' || c == '-';
}

// Names Windows keeps for devices, whatever the extension or case.
bool deviceName(const std::string& name) {
  static const std::array<std::string_view, 22> kDevices = {
      "con",  "prn",  "aux",  "nul",  "com1", "com2", "com3", "com4", "com5", "com6", "com7",
      "com8", "com9", "lpt1", "lpt2", "lpt3", "lpt4", "lpt5", "lpt6", "lpt7", "lpt8", "lpt9"};
  std::string stem = name.substr(0, name.find('.'));
  std::transform(stem.begin(), stem.end(), stem.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return std::find(kDevices.begin(), kDevices.end(), stem) != kDevices.end();
}

bool keptAsGiven(const std::string& name) {
  if (name.empty() || name.size() > kMaxPrefix || name.front() == '.' || name.back() == '.')
    return false;
  for (char c : name)
    if (!safeByte(c)) return false;
  return !deviceName(name);
}

}  // namespace

std::string safeFolderName(const std::string& name, bool withSuffix) {
  if (!withSuffix && keptAsGiven(name)) return name;
  std::string prefix;
  for (char c : name) {
    if (prefix.size() == kMaxPrefix) break;
    prefix += safeByte(c) ? c : '_';
  }
  while (!prefix.empty() && (prefix.front() == '.' || prefix.back() == '.')) {
    if (prefix.front() == '.') prefix.erase(0, 1);
    else prefix.pop_back();
  }
  if (prefix.empty()) prefix = "row";
  return prefix + "-" + sha256Hex(name).substr(0, 10);
}

}  // namespace pelk
