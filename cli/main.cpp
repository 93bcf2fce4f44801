// hcluster: hierarchical cluster analysis of a .csv, .tsv or .xlsx file from the command
// line. See cli/options.h for the command line and cli/run.h for the order of work.
#include "cli/run.h"

int main(int argc, char** argv) { return dez::cli::Main(argc, argv); }
