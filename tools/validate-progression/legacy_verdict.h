#pragma once
#include <optional>
#include <string>

#include "progression/progression_verdict.h"

namespace pelk::validation {

// The legacy analysis exactly as the workbench's "10. Tumor Prog. Analysis-1" chains it:
// difference image and gate finder for standard against reference, then standard against the
// third scan, then tumour progression; the verdict is the last line of "tpa.dat". Runs in the
// current directory, whose legacy files it replaces. Empty when a module stops with an error.
std::optional<ProgressionVerdict> legacyVerdict(const std::string& baseline,
                                                const std::string& followUp1,
                                                const std::string& followUp2);

}  // namespace pelk::validation
