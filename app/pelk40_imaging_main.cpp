#include "app/cli/cli_main.h"
#include "app/cli/imaging/imaging_program.h"

// The full headless front end: the same contract as pelk40-cli, with the words that need the
// imaging libraries run in this process. pelk40-cli starts it for those words.
int main(int argc, char** argv) { return pelk::cliMain(argc, argv, pelk::imagingCliProgram()); }
