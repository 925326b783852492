#include "store/file_stamp.h"

#include <sys/stat.h>

namespace pelk {

std::optional<FileStamp> fileStampOf(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  return FileStamp{std::int64_t{st.st_mtim.tv_sec} * 1'000'000'000 + st.st_mtim.tv_nsec,
                   static_cast<std::uintmax_t>(st.st_size)};
}

std::vector<FileState> fileStatesOf(const std::vector<std::string>& names) {
  std::vector<FileState> states;
  for (const std::string& name : names) states.push_back({name, fileStampOf(name)});
  return states;
}

}  // namespace pelk
