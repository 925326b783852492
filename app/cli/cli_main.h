#pragma once

namespace pelk {

struct CliProgram;

// The body of main() of pelk40-cli and its siblings: the run on the standard streams, with what
// escapes it reported as exit status 1.
int cliMain(int argc, char** argv, const CliProgram& program);

}  // namespace pelk
