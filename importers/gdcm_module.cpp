#include "importers/gdcm_module.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <string>

#include "common/io_error.h"

namespace pelk {
namespace {

constexpr const char* kModuleFile = "pelk40-gdcm.so";

// The folder of the running program, with its final slash; empty when unknown.
std::string programFolder() {
  char path[PATH_MAX];
  const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return "";
  const std::string exe(path, static_cast<std::size_t>(length));
  return exe.substr(0, exe.rfind('/') + 1);
}

const GdcmModule* load(std::string& why) {
  // Beside the program (the build puts the programs and the module in one folder), then where
  // the build put it (the tests and the benchmark run from folders of their own).
  for (const std::string& candidate :
       {programFolder() + kModuleFile, std::string(PELK_GDCM_MODULE_PATH)}) {
    void* handle = ::dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
      why += (why.empty() ? "" : "; ") + std::string(::dlerror());
      continue;
    }
    using Entry = const GdcmModule* (*)();
    if (auto entry = reinterpret_cast<Entry>(::dlsym(handle, "pelkGdcmModule"))) return entry();
    why = candidate + " has no entry point";
  }
  return nullptr;
}

}  // namespace

const GdcmModule& gdcmModule() {
  static std::string why;
  static const GdcmModule* module = load(why);
  if (!module) throw IoError("The DICOM toolkit module cannot be loaded: " + why);
  return *module;
}

}  // namespace pelk
