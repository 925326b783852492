#include "app/cli/cli_main.h"
#include "app/cli/cli_program.h"

// The light headless front end: the legacy commands run here; the imaging words are handed to
// pelk40-imaging, so a legacy run never loads the imaging libraries.
int main(int argc, char** argv) { return pelk::cliMain(argc, argv, pelk::lightCliProgram()); }
