#pragma once
#include <string>

#include "app/batch/manifest.h"

namespace pelk {

// The SHA-256 of everything a row's result depends on: the bytes of its three inputs (a study
// given as a folder counts every regular file in it, by relative name), the commands and the
// test information. Empty, with `error` set, when an input cannot be read; a special file such
// as a pipe is refused rather than waited on.
std::string hashRowInputs(const ManifestRow& row, const std::string& commands, std::string& error);

}  // namespace pelk
