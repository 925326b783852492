#pragma once
#include "app/cli/cli_program.h"

namespace pelk {

// pelk40-imaging: every word in its own process, the importer and the robust progression
// analysis included.
const CliProgram& imagingCliProgram();

}  // namespace pelk
