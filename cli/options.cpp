#include "cli/options.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <system_error>
#include <vector>

#include "cli/choices.h"
#include "io/csv_dialect.h"
#include "report/cluster_membership.h"
#include "io/dendrogram_picture.h"
#include "dezezuvazoz/enums.h"

#ifndef DEZ_VERSION
#define DEZ_VERSION "unknown"
#endif

namespace dez::cli {

namespace {

namespace fs = std::filesystem;

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

std::string LowerExtension(const std::string& file) {
  std::string extension = fs::path(file).extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c); });
  return extension;
}

/// The power as a number 1..9, or nothing for any other text: an exponent of 0 leaves
/// every distance undefined.
std::optional<std::int16_t> PowerValue(const std::string& text) {
  int value = -1;
  const char* end = text.data() + text.size();
  const auto [last, problem] = std::from_chars(text.data(), end, value);
  if (text.empty() || problem != std::errc() || last != end || value < 1 || value > 9) return std::nullopt;
  return static_cast<std::int16_t>(value);
}

/// The data type's code; the rules have checked the text before anything reads it.
std::int32_t TypeCode(const RawOptions& raw) {
  const Choice* type = FindChoice(TypeChoices(), raw.type);
  return type ? type->code : -1;
}

/// The measure's row: the one named, or the default of the data type (Euclidean for
/// metric data, Jaccard for binomial data); nullptr for the types without a measure.
const Choice* MeasureChoice(const RawOptions& raw) {
  const std::int32_t type = TypeCode(raw);
  const std::span<const Choice> measures = MeasureChoicesFor(type);
  if (raw.measureGiven) return FindChoice(measures, raw.measure);
  if (type == dezEZuvazozMetric) return ChoiceOfCode(measures, dezEZuvazozSMMEuclidean);
  if (type == dezEZuvazozBinomial) return ChoiceOfCode(measures, dezEZuvazozSMBJaccard);
  return nullptr;
}

/// True when two texts name the same file (the files need not exist).
bool SameFile(const std::string& a, const std::string& b) {
  std::error_code ea;
  std::error_code eb;
  const fs::path pa = fs::weakly_canonical(fs::absolute(a), ea);
  const fs::path pb = fs::weakly_canonical(fs::absolute(b), eb);
  return !ea && !eb && pa == pb;
}

/// True when the folder that would hold `file` exists.
bool FolderExists(const std::string& file) {
  fs::path folder = fs::path(file).parent_path();
  if (folder.empty()) folder = ".";
  std::error_code error;
  return fs::is_directory(folder, error);
}

using Message = std::optional<std::string>;

/// The separator named by --delimiter: one of , ; | or a TAB, written as itself, "TAB",
/// "tab" or "\t"; 0 for anything else.
char DelimiterValue(const std::string& text) {
  if (text == "TAB" || text == "tab" || text == "\\t" || text == "\t") return '\t';
  if (text.size() == 1 && io::kCsvDelimiters.find(text[0]) != std::string_view::npos) return text[0];
  return 0;
}

/// The --cut level as a finite number, or nothing.
std::optional<double> CutValue(const std::string& text) {
  double value = 0.0;
  const char* end = text.data() + text.size();
  const auto [last, problem] = std::from_chars(text.data(), end, value);
  if (text.empty() || problem != std::errc() || last != end || !std::isfinite(value)) return std::nullopt;
  return value;
}

/// The files the command line asks to write, with their option names ("-" excluded).
std::vector<std::pair<std::string, std::string>> OutputFiles(const RawOptions& raw) {
  std::vector<std::pair<std::string, std::string>> files;
  if (raw.outputGiven) files.emplace_back("--output", raw.output);
  if (raw.jsonGiven && raw.json != "-") files.emplace_back("--json", raw.json);
  if (raw.newickGiven) files.emplace_back("--newick", raw.newick);
  if (raw.pictureGiven) files.emplace_back("--picture", raw.picture);
  return files;
}

const std::vector<CommandLineRule>& Rules() {
  static const std::vector<CommandLineRule> rules = {
      {"input-format",
       [](const RawOptions& raw) -> Message {
         const std::string extension = LowerExtension(raw.input);
         if (extension == ".csv" || extension == ".tsv" || extension == ".xlsx") return std::nullopt;
         return "INPUT " + Quoted(raw.input) + " is not a .csv, .tsv or .xlsx file";
       }},
      {"type",
       [](const RawOptions& raw) -> Message {
         if (FindChoice(TypeChoices(), raw.type)) return std::nullopt;
         return "--type " + Quoted(raw.type) + " is not a data type; choose one of: " +
                DescribeChoices(TypeChoices());
       }},
      {"measure-needs-data-type",
       [](const RawOptions& raw) -> Message {
         if (!raw.measureGiven || !MeasureChoicesFor(TypeCode(raw)).empty()) return std::nullopt;
         return "--measure applies to binomial and metric data only, not to --type " + raw.type;
       }},
      {"measure",
       [](const RawOptions& raw) -> Message {
         const std::span<const Choice> measures = MeasureChoicesFor(TypeCode(raw));
         if (!raw.measureGiven || FindChoice(measures, raw.measure)) return std::nullopt;
         const std::string_view type = ChoiceOfCode(TypeChoices(), TypeCode(raw))->name;
         return "--measure " + Quoted(raw.measure) + " is not a measure of " + std::string(type) +
                " data; choose one of: " + DescribeChoices(measures);
       }},
      {"method",
       [](const RawOptions& raw) -> Message {
         if (FindChoice(MethodChoices(), raw.method)) return std::nullopt;
         return "--method " + Quoted(raw.method) + " is not a clustering method; choose one of: " +
                DescribeChoices(MethodChoices());
       }},
      {"power",
       [](const RawOptions& raw) -> Message {
         if (PowerValue(raw.power)) return std::nullopt;
         return "--power " + Quoted(raw.power) + ": the exponent must be 1 to 9";
       }},
      {"power-needs-minkowski",
       [](const RawOptions& raw) -> Message {
         const Choice* measure = MeasureChoice(raw);
         const bool minkowski = TypeCode(raw) == dezEZuvazozMetric && measure != nullptr &&
                                measure->code == dezEZuvazozSMMMinkowski;
         if (!raw.powerGiven || minkowski) return std::nullopt;
         return "--power applies to the Minkowski distance only (--type metric --measure minkowski)";
       }},
      {"header-or-no-header",
       [](const RawOptions& raw) -> Message {
         if (!(raw.header && raw.noHeader)) return std::nullopt;
         return "--header and --no-header contradict each other; give one";
       }},
      {"delimiter",
       [](const RawOptions& raw) -> Message {
         if (!raw.delimiterGiven || DelimiterValue(raw.delimiter) != 0) return std::nullopt;
         return "--delimiter " + Quoted(raw.delimiter) + " is not a separator; choose one of: , ; TAB |";
       }},
      {"dialect-needs-text-file",
       [](const RawOptions& raw) -> Message {
         const std::string extension = LowerExtension(raw.input);
         if ((!raw.delimiterGiven && !raw.decimalComma) || extension != ".xlsx") return std::nullopt;
         return "--delimiter and --decimal-comma apply to .csv and .tsv input only";
       }},
      {"decimal-comma-needs-other-delimiter",
       [](const RawOptions& raw) -> Message {
         if (!raw.decimalComma || !raw.delimiterGiven || DelimiterValue(raw.delimiter) != ',') return std::nullopt;
         return "--decimal-comma needs a separator other than ',' (for example --delimiter ';')";
       }},
      {"missing",
       [](const RawOptions& raw) -> Message {
         if (raw.missing == "refuse" || raw.missing == "drop") return std::nullopt;
         return "--missing " + Quoted(raw.missing) + " is not a choice; choose one of: refuse drop";
       }},
      {"missing-drop-needs-data-type",
       [](const RawOptions& raw) -> Message {
         const std::int32_t type = TypeCode(raw);
         if (raw.missing != "drop" || type == dezEZuvazozMetric || type == dezEZuvazozBinomial) return std::nullopt;
         return "--missing drop applies to binomial and metric data only, not to --type " + raw.type;
       }},
      {"standardize",
       [](const RawOptions& raw) -> Message {
         if (StandardizationNamed(raw.standardize)) return std::nullopt;
         return "--standardize " + Quoted(raw.standardize) +
                " is not a standardisation; choose one of: none z range range-1-1 max-1 mean-1 sd-1";
       }},
      {"standardize-needs-metric",
       [](const RawOptions& raw) -> Message {
         if (raw.standardize == "none" || TypeCode(raw) == dezEZuvazozMetric) return std::nullopt;
         return "--standardize applies to metric data only, not to --type " + raw.type;
       }},
      {"overwrite-needs-output-range",
       [](const RawOptions& raw) -> Message {
         if (!raw.overwrite || raw.outputRangeGiven) return std::nullopt;
         return "--overwrite applies to --output-range only (the default output is a new, empty sheet)";
       }},
      {"output-format",
       [](const RawOptions& raw) -> Message {
         if (!raw.outputGiven || LowerExtension(raw.output) == ".xlsx") return std::nullopt;
         return "--output " + Quoted(raw.output) + " must name an .xlsx file";
       }},
      {"output-not-input",
       [](const RawOptions& raw) -> Message {
         if (!raw.outputGiven || !SameFile(raw.output, raw.input)) return std::nullopt;
         return "--output " + Quoted(raw.output) + " names the input file; choose another file for the report";
       }},
      {"output-folder",
       [](const RawOptions& raw) -> Message {
         if (!raw.outputGiven || FolderExists(raw.output)) return std::nullopt;
         return "--output " + Quoted(raw.output) + ": its folder does not exist";
       }},
      {"json-folder",
       [](const RawOptions& raw) -> Message {
         if (!raw.jsonGiven || raw.json == "-" || FolderExists(raw.json)) return std::nullopt;
         return "--json " + Quoted(raw.json) + ": its folder does not exist";
       }},
      {"json-not-input-or-output",
       [](const RawOptions& raw) -> Message {
         if (!raw.jsonGiven || raw.json == "-") return std::nullopt;
         if (SameFile(raw.json, raw.input)) return "--json " + Quoted(raw.json) + " names the input file";
         if (raw.outputGiven && SameFile(raw.json, raw.output)) {
           return "--json " + Quoted(raw.json) + " names the --output file";
         }
         return std::nullopt;
       }},
      {"clusters",
       [](const RawOptions& raw) -> Message {
         if (!raw.clustersGiven || ParseClusterList(raw.clusters)) return std::nullopt;
         return "--clusters " + Quoted(raw.clusters) +
                " is not a list of numbers of clusters (from 1), such as 3, 2-6 or 2,4,8";
       }},
      {"cut",
       [](const RawOptions& raw) -> Message {
         if (!raw.cutGiven || CutValue(raw.cut)) return std::nullopt;
         return "--cut " + Quoted(raw.cut) + " is not a number";
       }},
      {"picture-format",
       [](const RawOptions& raw) -> Message {
         if (!raw.pictureGiven || io::PictureFormatOf(raw.picture)) return std::nullopt;
         return "--picture " + Quoted(raw.picture) + " must name an .svg, .png or .pdf file";
       }},
      {"tree-files",
       [](const RawOptions& raw) -> Message {
         for (const auto& [option, file] : OutputFiles(raw)) {
           if (option != "--newick" && option != "--picture") continue;
           if (!FolderExists(file)) return option + " " + Quoted(file) + ": its folder does not exist";
           if (SameFile(file, raw.input)) return option + " " + Quoted(file) + " names the input file";
         }
         return std::nullopt;
       }},
      {"distinct-outputs",
       [](const RawOptions& raw) -> Message {
         const auto files = OutputFiles(raw);
         for (std::size_t a = 0; a < files.size(); ++a) {
           for (std::size_t b = a + 1; b < files.size(); ++b) {
             if (SameFile(files[a].second, files[b].second)) {
               return files[b].first + " " + Quoted(files[b].second) + " names the " + files[a].first + " file";
             }
           }
         }
         return std::nullopt;
       }},
      {"one-standard-output",
       [](const RawOptions& raw) -> Message {
         if (!(raw.jsonGiven && raw.json == "-" && raw.print)) return std::nullopt;
         return "--json - and --print would both write to standard output; write the JSON to a file";
       }},
  };
  return rules;
}

Options Resolve(const RawOptions& raw) {
  Options options;
  options.input = raw.input;
  if (raw.rangeGiven) options.range = raw.range;
  options.clusterType = TypeCode(raw);
  if (const Choice* measure = MeasureChoice(raw)) {
    options.measure = measure->code;
    options.measureText = measure->displayText;
  } else if (options.clusterType == dezEZuvazozMixed) {
    options.measureText = kMixedMeasureText;
  }
  const Choice* method = FindChoice(MethodChoices(), raw.method);
  options.method = method->code;
  options.methodText = method->displayText;
  options.power = *PowerValue(raw.power);
  options.labels = raw.labels;
  options.textDendrogram = raw.textDendrogram;
  options.chart = raw.chart;
  options.outputRange = raw.outputRange;
  options.overwrite = raw.overwrite;
  if (raw.outputGiven) options.output = raw.output;
  if (raw.jsonGiven) options.json = raw.json;
  if (raw.clustersGiven) options.clusters = *ParseClusterList(raw.clusters);
  if (raw.cutGiven) options.cut = CutValue(raw.cut);
  options.noMatrix = raw.noMatrix;
  if (raw.newickGiven) options.newick = raw.newick;
  if (raw.pictureGiven) options.picture = raw.picture;
  options.print = raw.print || (!raw.outputGiven && !raw.jsonGiven && !raw.newickGiven && !raw.pictureGiven);
  options.quiet = raw.quiet;
  options.header = raw.header ? HeaderRow::kYes : raw.noHeader ? HeaderRow::kNo : HeaderRow::kDetect;
  if (raw.delimiterGiven) options.delimiter = DelimiterValue(raw.delimiter);
  options.decimalComma = raw.decimalComma;
  options.dropMissing = raw.missing == "drop";
  options.standardize = *StandardizationNamed(raw.standardize);
  return options;
}

constexpr const char* kDescription =
    "hcluster: hierarchical cluster analysis of the cases (rows) of a .csv, .tsv or .xlsx file.\n"
    "Writes the report (distance or similarity matrix, agglomeration schedule, cophenetic\n"
    "correlation, dendrograms) as a workbook, as text or as JSON.";

constexpr const char* kFooter =
    "The report goes to standard output as text unless -o or --json is given.\n"
    "Exit status: 0 done; 1 the analysis raised an error (number, name, description and\n"
    "source on standard error); 2 bad command line, unreadable input or unwritable output.";

}  // namespace

std::span<const CommandLineRule> CommandLineRules() { return Rules(); }

std::string VersionText() { return std::string("hcluster ") + DEZ_VERSION; }

CommandLine ParseCommandLine(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  RawOptions raw;
  CLI::App app{kDescription, "hcluster"};
  app.footer(kFooter);
  app.set_version_flag("--version", VersionText(), "print the version and exit");
  app.add_option("INPUT", raw.input, "data file: .csv, .tsv or .xlsx")->required()->type_name("");
  CLI::Option* range = app.add_option(
      "-r,--range", raw.range,
      "variables range, e.g. 'Data!$B$2:$F$30', 'Stores 2023!A2:F' or A:F (single quotes keep the shell "
      "off $; an address without a sheet refers to the first sheet; an open end stops at the last used row); "
      "default: the used range of the first sheet")
                              ->type_name("ADDR");
  app.add_option("-t,--type", raw.type,
                 "binomial | metric | mixed | distance | similarity (or 0..4); default metric")
      ->type_name("T");
  CLI::Option* measure = app.add_option(
      "-m,--measure", raw.measure,
      "binomial: euclidean hamann jaccard kulczynski1 kulczynski2 ochiai pattern phi rogers-tanimoto "
      "russel-rao sokal-michener sorensen-dice squared-euclidean variance yule-q (or 1..15); "
      "metric: bray-curtis canberra city-block euclidean minkowski correlation squared-euclidean (or 1..7); "
      "default euclidean for metric, jaccard for binomial data")
                                ->type_name("M");
  CLI::Option* power = app.add_option("-p,--power", raw.power, "Minkowski exponent 1..9; default 2")->type_name("N");
  app.add_option("-M,--method", raw.method,
                 "single | complete | average | centroid | ward | flexible "
                 "(also nearest, furthest, group-average, lance-williams, 1..6); default average")
      ->type_name("NAME");
  app.add_flag("-l,--labels", raw.labels, "the first column of the range holds the item labels");
  app.add_flag("--text-dendrogram", raw.textDendrogram, "add the text dendrogram to the report");
  app.add_flag("--chart", raw.chart, "draw the dendrogram chart (in the -o workbook; at most 250 items)");
  CLI::Option* outputRange = app.add_option(
      "--output-range", raw.outputRange,
      "where the report goes, e.g. 'Data!$H$1' (without a sheet: the first sheet); default: a new sheet")
                                    ->type_name("ADDR");
  app.add_flag("--overwrite", raw.overwrite, "let the report replace non-empty cells at --output-range");
  CLI::Option* output = app.add_option("-o,--output", raw.output, "write the workbook with the report")
                                 ->type_name("FILE.xlsx");
  app.add_flag("--print", raw.print, "print the report as text (the default when none of -o, --json, --newick, --picture is given)");
  CLI::Option* json = app.add_option("--json", raw.json, "write the engine's results as JSON to FILE, or - for "
                                                         "standard output")
                         ->type_name("FILE|-");
  app.add_flag("--no-matrix", raw.noMatrix, "leave the distance/similarity matrix out of the report and the JSON");
  app.add_flag("-q,--quiet", raw.quiet, "no progress display");
  app.add_flag("--header", raw.header, "the range's first row holds the variable names");
  app.add_flag("--no-header", raw.noHeader, "never detect a header row (detected only when -r is not given)");
  CLI::Option* delimiter =
      app.add_option("--delimiter", raw.delimiter, "CSV/TSV separator: , ; TAB | (default: detected)")->type_name("C");
  app.add_flag("--decimal-comma", raw.decimalComma,
               "1,5 means 1.5 in CSV/TSV fields (default: detected in files separated by ; TAB or |)");
  app.add_option("--missing", raw.missing,
                 "items with an empty or non-numeric cell: refuse (default) or drop them and analyse the rest")
      ->type_name("refuse|drop");
  app.add_option("--standardize", raw.standardize,
                 "metric data, per variable: none (default) z range range-1-1 max-1 mean-1 sd-1")
      ->type_name("S");
  CLI::Option* clusters = app.add_option("--clusters", raw.clusters,
                                         "membership for k clusters: 3, 2-6 or 2,4,8 (report table, JSON, picture colours)")
                              ->type_name("LIST");
  CLI::Option* cut = app.add_option("--cut", raw.cut, "membership of the clusters formed below LEVEL (above it for "
                                                      "similarities)")
                         ->type_name("LEVEL");
  CLI::Option* newick = app.add_option("--newick", raw.newick, "write the tree in Newick format")->type_name("FILE");
  CLI::Option* picture = app.add_option("--picture", raw.picture, "draw the dendrogram as .svg, .png or .pdf")
                             ->type_name("FILE");

  try {
    app.parse(argc, argv);
  } catch (const CLI::Success& done) {  // --help or --version
    app.exit(done, out, err);
    return {std::nullopt, kExitDone};
  } catch (const CLI::ParseError& problem) {
    err << "hcluster: " << problem.what() << "\nRun hcluster --help for the options.\n";
    return {std::nullopt, kExitUsageOrFile};
  }
  raw.rangeGiven = range->count() > 0;
  raw.measureGiven = measure->count() > 0;
  raw.powerGiven = power->count() > 0;
  raw.outputRangeGiven = outputRange->count() > 0;
  raw.outputGiven = output->count() > 0;
  raw.jsonGiven = json->count() > 0;
  raw.delimiterGiven = delimiter->count() > 0;
  raw.clustersGiven = clusters->count() > 0;
  raw.cutGiven = cut->count() > 0;
  raw.newickGiven = newick->count() > 0;
  raw.pictureGiven = picture->count() > 0;

  for (const CommandLineRule& rule : Rules()) {
    if (const Message message = rule.check(raw)) {
      err << "hcluster: " << *message << "\nRun hcluster --help for the options.\n";
      return {std::nullopt, kExitUsageOrFile};
    }
  }
  return {Resolve(raw), kExitDone};
}

}  // namespace dez::cli
