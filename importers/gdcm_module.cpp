#include "importers/gdcm_module.h"

#include <dlfcn.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/io_error.h"
#include "common/running_program.h"

namespace pelk {
namespace {

constexpr const char* kModuleFile = "pelk40-gdcm.so";

const GdcmModule* load(std::string& why) {
  // Beside the program (the build puts the programs and the module in one folder), then where
  // the build put it (the tests and the benchmark run from folders of their own).
  std::vector<std::string> candidates;
  std::error_code ec;
  const std::filesystem::path program = runningProgram(ec);
  if (!ec) candidates.push_back((program.parent_path() / kModuleFile).string());
  candidates.emplace_back(PELK_GDCM_MODULE_PATH);
  for (const std::string& candidate : candidates) {
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
