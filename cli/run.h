// One run of hcluster: load the file, analyse, write what was asked.
//
// The order of work, and why:
// 1. read INPUT into a fresh embedded application (its workbook becomes the active one);
//    a file that cannot be read ends the run with exit status 2;
// 2. refuse a range of more than 16,384 items, or whose report (-o, --print) cannot fit
//    a sheet, with exit status 2 before any matrix is built (cli/size_limits);
//    set clsHCluster's options in the order of its interface, the variables range (the
//    used range of the first sheet by default) and the output range, and call Results
//    when -o or --print needs the report on a sheet, else AnalyseOnly (the same checks
//    and analysis, no sheet work); an error of the component ends the run with status 1;
// 3. prepare everything that can still fail in the component before any output exists:
//    the JSON reads the dendrogram limits, which lays the tree out;
// 4. write the outputs: the workbook with the chart as a native chart (-o, atomically), the JSON (a file, atomically, or
//    standard output), the report as text. A failure to write is exit status 2.
// So when the analysis fails nothing is written: no workbook, no JSON file, no text.
#pragma once

#include <ostream>

#include "cli/options.h"

namespace dez::cli {

/// Runs `options`; the report and JSON for standard output go to `out`, messages and
/// progress to `err`. `errIsTerminal` says whether `err` is a terminal (progress shows
/// only then, and not with --quiet). Returns the exit status.
int Run(const Options& options, std::ostream& out, std::ostream& err, bool errIsTerminal);

/// The whole program: parses argv and runs it.
int Main(int argc, const char* const* argv);

}  // namespace dez::cli
