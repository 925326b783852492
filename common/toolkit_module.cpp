#include "common/toolkit_module.h"

#include <dlfcn.h>

#include <filesystem>
#include <new>
#include <vector>

#include "common/running_program.h"

namespace pelk {

const void* loadToolkitModule(const char* file, const char* builtPath, const char* entry,
                              std::string& why) {
  std::vector<std::string> candidates;
  std::error_code ec;
  const std::filesystem::path program = runningProgram(ec);
  if (!ec) candidates.push_back((program.parent_path() / file).string());
  if (candidates.empty() || candidates.front() != builtPath) candidates.emplace_back(builtPath);
  for (const std::string& candidate : candidates) {
    void* handle = ::dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
      why += (why.empty() ? "" : "; ") + std::string(::dlerror());
      continue;
    }
    using Entry = const void* (*)();
    if (auto function = reinterpret_cast<Entry>(::dlsym(handle, entry))) return function();
    why = candidate + " has no entry point";
  }
  return nullptr;
}

void ModuleFailure::rethrow() const {
  switch (kind_) {
    case Kind::kIo: throw IoError(message_);
    case Kind::kMemory: throw std::bad_alloc();
    case Kind::kOther: break;
  }
  throw std::runtime_error(message_);
}

}  // namespace pelk
