#include "app/cli/cli_main.h"
#include "app/cli/cli_program.h"

// The light headless front end: the legacy commands run here; the imaging words are handed to
// pelk40-imaging, so a legacy run never loads the imaging libraries.
// It also runs the resident writer of a SQLite store, started from this same executable.
int main(int argc, char** argv) {
  pelk::CliProgram program = pelk::lightCliProgram();
  program.storeWriter = "/proc/self/exe";
  return pelk::cliMain(argc, argv, program);
}
