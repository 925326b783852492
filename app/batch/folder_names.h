#pragma once
#include <string>

namespace pelk {

// A folder name made from a patient or test name that every common file system stores as given:
// ASCII letters, digits, '.', '_' and '-' only, not a device name, no leading dot, no trailing
// dot, at most 60 bytes. A safe name is kept as it is; any other keeps a readable safe prefix and
// gains a suffix from the hash of the original bytes, so two names that differ only in the
// characters dropped still get folders of their own. `withSuffix` asks for the suffix even on
// a safe name: for names that differ only in case, which some file systems fold together.
std::string safeFolderName(const std::string& name, bool withSuffix = false);

}  // namespace pelk
