#include "cli/run.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <exception>
#include <fstream>
#include <iostream>
#include <memory>
#include <new>
#include <optional>
#include <string>

#include "cli/error_report.h"
#include "cli/json_results.h"
#include "cli/progress.h"
#include "cli/tree_outputs.h"
#include "controller/clsHCluster.h"
#include "host/embedded/cell_block.h"
#include "host/embedded/embedded_addin_context.h"
#include "host/embedded/embedded_application.h"
#include "host/embedded/embedded_range.h"
#include "host/embedded/embedded_workbook.h"
#include "host/embedded/embedded_worksheet.h"
#include "io/atomic_output_file.h"
#include "io/file_error.h"
#include "io/output_set.h"
#include "io/temporary_file_registry.h"
#include "io/text_renderer.h"
#include "io/xlsx_chart_writer.h"
#include "io/workbook_reader.h"

namespace dez::cli {

namespace {

using embedded::CellBlock;
using embedded::EmbeddedWorksheet;

/// A sheet-qualified absolute address: 'Sheet name'!$A$1:$E$31.
std::string QualifiedAddress(const std::string& sheet, const CellBlock& block) {
  std::string quoted = "'";
  for (const char ch : sheet) {
    quoted += ch;
    if (ch == '\'') quoted += '\'';
  }
  return quoted + "'!" + embedded::AbsoluteAddress(block);
}

/// The block of the placed report: the size of the report on the scratch sheet, where the
/// report writer builds it from A1, with its top-left cell at the output cell.
std::optional<CellBlock> PlacedReport(const embedded::EmbeddedApplication& app, const embedded::EmbeddedRange& cell) {
  const auto scratch = app.AddinWorkbook()->FindSheet(embedded::kScratchSheetName);
  const std::optional<CellBlock> report = scratch ? scratch->UsedRange() : std::nullopt;
  if (!report) return std::nullopt;
  const std::int64_t bottom = std::int64_t{cell.Row()} + report->bottom - 1;
  const std::int64_t right = std::int64_t{cell.Column()} + report->right - 1;
  return CellBlock{cell.Row(), cell.Column(), static_cast<std::int32_t>(std::min<std::int64_t>(bottom, embedded::kMaxRows)),
                   static_cast<std::int32_t>(std::min<std::int64_t>(right, embedded::kMaxColumns))};
}

/// Flushes standard output; false (with a message on `err`) when a write to it failed.
bool FlushedStandardOutput(std::ostream& out, std::ostream& err) {
  errno = 0;
  out.flush();
  if (out) return true;
  err << "hcluster: cannot write to standard output" << (errno != 0 ? std::string(": ") + std::strerror(errno) : "")
      << '\n';
  return false;
}

/// Sets the options on `hc` in the order of its interface and runs the analysis.
void Analyse(clsHCluster& hc, const Options& options, const std::string& varRange) {
  hc.Headers(options.labels);
  hc.TextDend(options.textDendrogram);
  hc.GraphDend(options.chart);
  hc.Method(options.method);
  hc.MethodText(options.methodText);
  hc.Measure(options.measure);
  hc.MeasureText(options.measureText);
  std::int16_t power = options.power;
  hc.Power(power);
  hc.ClusterType(options.clusterType);
  // Both addresses are resolved at once, while the first sheet of the input is the active
  // sheet: an address without a sheet name refers to it.
  hc.VarRange(varRange);
  if (!options.outputRange.empty()) hc.OutputRange(options.outputRange);
  if (!options.clusters.empty() || options.cut) hc.MembershipTable(options.clusters, options.cut);
  hc.Results(options.overwrite);
}

}  // namespace

int Run(const Options& options, std::ostream& out, std::ostream& err, bool errIsTerminal) {
  TerminalProgress progress(err, errIsTerminal && !options.quiet);
  const std::shared_ptr<embedded::EmbeddedApplication> app = embedded::EmbeddedApplication::Create();
  host::AddinContext context =
      embedded::MakeEmbeddedAddinContext(app, std::make_shared<StderrMessageBox>(err, progress));
  const std::string inputName = options.input.string();

  // 1. The input.
  std::shared_ptr<embedded::EmbeddedWorkbook> book;
  progress.Show("reading " + inputName);
  try {
    book = io::WorkbookReader::Read(*app, options.input);
  } catch (const Error& e) {
    progress.Clear();
    err << "hcluster: cannot read the input file: " << e.description << '\n';
    return kExitUsageOrFile;
  }
  app->SetActiveBook(book);
  const std::shared_ptr<EmbeddedWorksheet> first = book->Sheets().front();
  book->SetActiveSheet(first);
  std::string varRange;
  if (options.range) {
    varRange = *options.range;  // as given: an empty text is the component's to refuse
  } else {
    const std::optional<CellBlock> used = first->UsedRange();
    if (!used) {
      progress.Clear();
      err << "hcluster: " << inputName << ": the first sheet \"" << first->Name() << "\" holds no data\n";
      return kExitUsageOrFile;
    }
    varRange = QualifiedAddress(first->Name(), *used);
  }

  // 2. The analysis, and 3. what can still fail in the component.
  clsHCluster hc(context);
  hc.SetProgress([&](const char* phase, double fraction) { progress.ShowComponentPhase(phase, fraction); });
  TreeOutputs tree;
  std::optional<std::string> treeProblem;
  try {
    progress.Show("building the matrix");
    Analyse(hc, options, varRange);
    if (WantsTreeOutputs(options)) treeProblem = PrepareTreeOutputs(options, hc, varRange, err, tree);
  } catch (const Error& e) {
    progress.Clear();
    err << DescribeError(e);
    return kExitAnalysisError;
  }
  if (treeProblem) {
    progress.Clear();
    err << "hcluster: " << *treeProblem << '\n';
    return kExitUsageOrFile;
  }

  // 4. The outputs: every file prepared completely, then all put in place together.
  try {
    io::OutputSet outputs;
    if (options.output) {
      progress.Show("writing " + options.output->string());
      // cells, formats and the dendrogram chart
      io::WriteXlsxWithCharts(*book, outputs.Add(*options.output, "WriteXlsx"));
    }
    if (options.json || options.newick || options.picture) {
      progress.Show("writing the tree's files");
      WriteTreeFiles(options, hc, tree, outputs);  // --json FILE, --newick, --picture
    }
    outputs.Publish();
  } catch (const Error& e) {
    progress.Clear();
    err << "hcluster: cannot write the output: " << e.description << '\n';
    return kExitUsageOrFile;
  } catch (const std::bad_alloc&) {
    progress.Clear();
    err << "hcluster: cannot write the output: out of memory\n";
    return kExitUsageOrFile;
  }
  progress.Clear();
  if (options.json && *options.json == "-") {
    WriteJsonTo(out, options, hc, tree);
    if (!FlushedStandardOutput(out, err)) return kExitUsageOrFile;
  }
  if (options.print) {
    const auto* cell = dynamic_cast<const embedded::EmbeddedRange*>(hc.OutputCell().get());
    if (cell != nullptr) {
      if (const std::optional<CellBlock> report = PlacedReport(*app, *cell)) {
        io::TextRenderer::Render(*cell->Sheet(), *report, out);
      }
    }
    if (!FlushedStandardOutput(out, err)) return kExitUsageOrFile;
  }
  return kExitDone;
}

int Main(int argc, const char* const* argv) {
  try {
    const CommandLine parsed = ParseCommandLine(argc, argv, std::cout, std::cerr);
    if (!parsed.options) return parsed.exitStatus;
    io::TemporaryFileRegistry::RemoveOnTerminationSignals();
    return Run(*parsed.options, std::cout, std::cerr, ::isatty(STDERR_FILENO) == 1);
  } catch (const Error& e) {  // an error outside the analysis (the host, say)
    std::cerr << DescribeError(e);
    return kExitAnalysisError;
  } catch (const std::bad_alloc&) {
    std::cerr << "hcluster: out of memory\n";
    return kExitAnalysisError;
  } catch (const std::exception& e) {
    std::cerr << "hcluster: " << e.what() << '\n';
    return kExitAnalysisError;
  }
}

}  // namespace dez::cli
