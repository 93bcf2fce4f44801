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

#include "cli/data_json.h"
#include "cli/data_preparation.h"
#include "cli/error_report.h"
#include "cli/json_results.h"
#include "cli/progress.h"
#include "cli/tree_outputs.h"
#include "cli/size_limits.h"
#include "controller/clsHCluster.h"
#include "host/embedded/cell_block.h"
#include "host/embedded/embedded_addin_context.h"
#include "host/embedded/embedded_application.h"
#include "host/embedded/embedded_range.h"
#include "host/embedded/embedded_workbook.h"
#include "host/embedded/embedded_worksheet.h"
#include "io/atomic_output_file.h"
#include "io/csv_reader.h"
#include "io/file_error.h"
#include "io/output_set.h"
#include "io/temporary_file_registry.h"
#include "io/text_renderer.h"
#include "io/xlsx_package_writer.h"
#include "io/workbook_reader.h"

namespace dez::cli {

namespace {

using embedded::CellBlock;
using embedded::EmbeddedWorksheet;

/// The most items the dendrogram chart is drawn for.
constexpr std::int32_t kMaxChartItems = 250;

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

/// Only -o and --print need the report on a sheet; the other outputs need the analysis.
bool AssemblesReport(const Options& options) { return options.output.has_value() || options.print; }

/// The refusal of a range too large for hcluster or for a report on a sheet, or nothing.
/// An address that does not resolve is left to the component, which reports it.
std::optional<std::string> CheckSizes(embedded::EmbeddedApplication& app, const Options& options,
                                      const std::string& varRange) {
  std::int64_t rows = 0;
  std::int32_t outputColumn = 1;
  try {
    rows = app.Range(varRange)->RowsCount();
    if (!options.outputRange.empty()) outputColumn = app.Range(options.outputRange)->Column();
  } catch (const Error&) {
    return std::nullopt;
  }
  return SizeRefusal(options, rows, outputColumn);
}

/// Sets the options on `hc` in the order of its interface and runs the analysis, with
/// the report only when an output needs it.
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
  hc.NoMatrix(options.noMatrix);
  if (AssemblesReport(options)) hc.Results(options.overwrite);
  else hc.AnalyseOnly();
}

/// The dialect of a CSV or TSV input: as given by --delimiter and --decimal-comma, else
/// detected from the file's first bytes; a dialect other than the extension's is said on
/// `err`. Only a regular file is looked at twice: a FIFO or device keeps the extension's
/// separator, since what detection read would be gone.
io::CsvDialect ReadingDialect(const Options& options, std::ostream& err) {
  const char byExtension = io::CsvReader::DelimiterFor(options.input);
  if (byExtension == 0) return {};
  io::CsvDialect dialect{options.delimiter, options.decimalComma};
  std::error_code ignored;
  if (options.delimiter == 0 && !std::filesystem::is_regular_file(options.input, ignored)) {
    dialect.delimiter = byExtension;
  } else if (options.delimiter == 0) {
    const io::CsvDialect detected = io::DetectCsvDialect(io::CsvReader::FileStart(options.input, 1 << 16), byExtension);
    dialect.delimiter = detected.delimiter;
    dialect.decimalComma = options.decimalComma || detected.decimalComma;
    if (detected.delimiter != byExtension || (detected.decimalComma && !options.decimalComma)) {
      err << "hcluster: " << options.input.string() << ": fields separated by " << io::DelimiterName(dialect.delimiter)
          << (dialect.decimalComma ? ", numbers with a decimal comma" : "")
          << " (detected; --delimiter and --decimal-comma set them)\n";
    }
  }
  return dialect;
}

/// The report header's data set line names the user's range, in the form -r takes back,
/// followed by what was done to the data; the component wrote the range it was given.
void ShowDataSetAddress(const clsHCluster& hc, const DataSelection& data, const PreparedData& prepared) {
  const auto* cell = dynamic_cast<const embedded::EmbeddedRange*>(hc.OutputCell().get());
  if (cell == nullptr || !data.sheet) return;
  const std::shared_ptr<EmbeddedWorksheet> sheet = cell->Sheet();
  const std::int32_t row = cell->Row() + 1;
  const Variant& line = sheet->ValueAt(row, cell->Column());
  if (!line.IsText()) return;
  const std::size_t equals = line.text().find(" = ");
  if (equals == std::string::npos) return;
  sheet->WriteCell(row, cell->Column(), line.text().substr(0, equals + 3) + data.address + prepared.note,
                   sheet->StyleAt(row, cell->Column()));
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
    book = io::WorkbookReader::Read(*app, options.input, {}, ReadingDialect(options, err));
  } catch (const Error& e) {
    progress.Clear();
    err << "hcluster: cannot read the input file: " << e.description << '\n';
    return kExitUsageOrFile;
  }
  app->SetActiveBook(book);
  const std::shared_ptr<EmbeddedWorksheet> first = book->Sheets().front();
  book->SetActiveSheet(first);
  // The user's range, header row, dropped items and standardised values.
  const std::optional<DataSelection> data = SelectData(*book, options, err);
  const std::optional<PreparedData> prepared = data ? PrepareData(*app, *data, options, err) : std::nullopt;
  if (!prepared) {
    progress.Clear();
    return data ? kExitAnalysisError : kExitUsageOrFile;
  }
  Options analysed = options;
  analysed.labels = prepared->labels;
  const std::string varRange = prepared->address;

  if (const std::optional<std::string> refusal = CheckSizes(*app, analysed, varRange)) {
    progress.Clear();
    err << "hcluster: " << *refusal << '\n';
    return kExitUsageOrFile;
  }

  // 2. The analysis, and 3. what can still fail in the component.
  clsHCluster hc(context);
  hc.SetProgress([&](const char* phase, double fraction) { progress.ShowComponentPhase(phase, fraction); });
  TreeOutputs tree;
  std::optional<std::string> treeProblem;
  try {
    progress.Show("checking the data");
    Analyse(hc, analysed, varRange);
    if (WantsTreeOutputs(options)) {
      treeProblem = PrepareTreeOutputs(analysed, hc, data->address, err, tree);
      if (!data->variables.empty()) tree.input.variables = data->variables;
      if (options.standardize != Standardization::kNone) {
        tree.input.standardization = std::string(StandardizationName(options.standardize));
      }
      tree.dataMembers =
          DataJsonMembers(data->variables, options.dropMissing ? &prepared->dropped : nullptr);
    }
  } catch (const Error& e) {
    progress.Clear();
    err << DescribeError(e) << OffendingCellLine(e, *data, options);
    return kExitAnalysisError;
  }
  if (treeProblem) {
    progress.Clear();
    err << "hcluster: " << *treeProblem << '\n';
    return kExitUsageOrFile;
  }
  ShowDataSetAddress(hc, *data, *prepared);
  if (options.chart && hc.ItemLabels().UBound() > kMaxChartItems) {
    err << "hcluster: --chart: the chart is left out: it is drawn for at most " << kMaxChartItems
        << " items, and this analysis has " << hc.ItemLabels().UBound() << "\n";
  }

  // 4. The outputs: every file prepared completely, then all put in place together.
  try {
    io::OutputSet outputs;
    if (options.output) {
      progress.Show("writing " + options.output->string());
      // An .xlsx input is written back as its own package with the report added.
      std::optional<io::ReportOnSheet> reportOnSheet;
      const auto* cell = dynamic_cast<const embedded::EmbeddedRange*>(hc.OutputCell().get());
      if (!options.outputRange.empty() && cell != nullptr) {
        if (const std::optional<CellBlock> report = PlacedReport(*app, *cell)) {
          reportOnSheet = io::ReportOnSheet{cell->Sheet()->Name(), *report};
        }
      }
      io::WriteWorkbookFile(*book, outputs.Add(*options.output, "WriteXlsx"), options.input, reportOnSheet);
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
