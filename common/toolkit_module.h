#pragma once
#include <exception>
#include <new>
#include <string>
#include <utility>

#include "common/io_error.h"

namespace pelk {

// The imaging toolkits (DCMTK, OpenCV, ITK, GDCM) each take from several to tens of milliseconds
// to load, at every start of a program that links them. So the code that calls a toolkit is
// built into a module of its own, placed beside the programs and loaded the first time its work
// is asked for: a program, the window included, pays only for the toolkits its work uses.
//
// A module exports one function, which returns its table of entry points. Standard library
// types cross between the module and the program (both use the one shared C++ runtime);
// exceptions do not, since each side has its own IoError: an entry point reports what it threw
// in a ModuleFailure and the program's side throws it again.

// Opens `file` beside the running program, else at `builtPath` (where the build put it: the tests
// and the benchmark run from folders of their own), and returns what its function `entry`
// returns; nullptr, with `why` saying why, when neither can be loaded.
const void* loadToolkitModule(const char* file, const char* builtPath, const char* entry,
                              std::string& why);

// The table of the module `file`, loaded once, by the first caller; IoError starting with
// `what` when it cannot be loaded (the program goes on without it).
template <class Table>
const Table& toolkitModule(const char* file, const char* builtPath, const char* entry,
                           const char* what) {
  static std::string why;
  static const Table* table =
      static_cast<const Table*>(loadToolkitModule(file, builtPath, entry, why));
  if (!table) throw IoError(std::string(what) + " cannot be loaded: " + why);
  return *table;
}

// What an entry point's work threw, carried back to the program.
class ModuleFailure {
 public:
  // On the module's side: runs `work`; false, with what it threw kept, when it throws.
  template <class Work>
  bool capture(Work&& work) {
    try {
      std::forward<Work>(work)();
      return true;
    } catch (const IoError& e) {
      kind_ = Kind::kIo, message_ = e.what();
    } catch (const std::bad_alloc&) {
      kind_ = Kind::kMemory;
    } catch (const std::exception& e) {
      kind_ = Kind::kOther, message_ = e.what();
    } catch (...) {
      kind_ = Kind::kOther, message_ = "an unexpected failure";
    }
    return false;
  }

  // On the program's side: throws what the work threw, as the same kind of exception.
  [[noreturn]] void rethrow() const;

 private:
  enum class Kind { kIo, kMemory, kOther };
  Kind kind_ = Kind::kOther;
  std::string message_;
};

// Calls a module's entry point (whose last parameter is a ModuleFailure) and throws what its
// work threw.
template <class Entry, class... Args>
void callModule(Entry entry, Args&&... args) {
  ModuleFailure failure;
  if (!entry(std::forward<Args>(args)..., failure)) failure.rethrow();
}

}  // namespace pelk
