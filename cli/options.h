// The command line of hcluster: its options, their defaults and the rules that a command
// line must meet.
//
//   CommandLine parsed = ParseCommandLine(argc, argv, std::cout, std::cerr);
//   if (!parsed.options) return parsed.exitStatus;   // --help, --version or a bad line
//   Run(*parsed.options, ...);
//
// Parsing has two stages. CLI11 reads the words into texts (RawOptions); then the named
// rules of CommandLineRules() check them in order, and the first rule that fails ends
// the parse with its message and exit status 2. Only a line that passes every rule is
// resolved into Options: the codes of clsHCluster's enumerations, the display texts and
// the defaults that depend on other options (the measure of the data type, --print when
// nothing else is asked for).
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/standardization.h"

namespace dez::cli {

/// Exit statuses of hcluster.
inline constexpr int kExitDone = 0;
inline constexpr int kExitAnalysisError = 1;   ///< the component raised an error
inline constexpr int kExitUsageOrFile = 2;     ///< bad command line, unreadable input, unwritable output

/// The words of the command line as given, before any rule has looked at them. An
/// option that was not given keeps its empty text and `given` flag false.
struct RawOptions {
  std::string input;
  std::string range;
  bool rangeGiven = false;
  std::string type = "metric";
  std::string measure;
  bool measureGiven = false;
  std::string power = "2";
  bool powerGiven = false;
  std::string method = "average";
  bool labels = false;
  bool textDendrogram = false;
  bool chart = false;
  std::string outputRange;
  bool outputRangeGiven = false;
  bool overwrite = false;
  std::string output;
  bool outputGiven = false;
  bool print = false;
  std::string json;
  bool jsonGiven = false;
  bool noMatrix = false;
  bool quiet = false;
  // Reading the user's own data (cli/data_preparation.h).
  bool header = false;
  bool noHeader = false;
  std::string delimiter;
  bool delimiterGiven = false;
  bool decimalComma = false;
  std::string missing = "refuse";
  std::string standardize = "none";
  std::string clusters;            ///< --clusters LIST
  bool clustersGiven = false;
  std::string cut;                 ///< --cut LEVEL
  bool cutGiven = false;
  std::string newick;              ///< --newick FILE
  bool newickGiven = false;
  std::string picture;             ///< --picture FILE.svg|.png|.pdf
  bool pictureGiven = false;
};

/// Whether the range's first row holds variable names.
enum class HeaderRow { kDetect, kYes, kNo };

/// A validated command line, in the terms of clsHCluster.
struct Options {
  std::filesystem::path input;
  std::optional<std::string> range; ///< none: the used range of the first sheet
  std::int32_t clusterType = 0;    ///< dezEZuvazozType
  std::int32_t measure = 0;        ///< dezEZuvazozSMB / dezEZuvazozSMM; 0 for the other types
  std::string measureText;
  std::int32_t method = 0;         ///< dezEZuvazozMethod
  std::string methodText;
  std::int16_t power = 2;
  bool labels = false;             ///< Headers
  bool textDendrogram = false;     ///< TextDend
  bool chart = false;              ///< GraphDend
  std::string outputRange;         ///< empty: a new sheet
  bool overwrite = false;          ///< Results(OverWrite)
  std::optional<std::filesystem::path> output;  ///< -o: the workbook with the report
  bool print = false;              ///< the report as text on standard output
  std::optional<std::string> json; ///< --json: a file name, or "-" for standard output
  bool noMatrix = false;           ///< --no-matrix: no matrix in the report or the JSON
  bool quiet = false;
  HeaderRow header = HeaderRow::kDetect;  ///< --header / --no-header; detected only without -r
  char delimiter = 0;              ///< --delimiter; 0: detected
  bool decimalComma = false;       ///< --decimal-comma
  bool dropMissing = false;        ///< --missing drop
  Standardization standardize = Standardization::kNone;
  std::vector<std::int32_t> clusters;  ///< --clusters: the numbers of clusters, ascending
  std::optional<double> cut;           ///< --cut: the level below which clusters are formed
  std::optional<std::filesystem::path> newick;   ///< --newick: the tree in Newick format
  std::optional<std::filesystem::path> picture;  ///< --picture: the dendrogram as SVG, PNG or PDF
};

/// A rule of the command line: its name (used in tests and in the README) and a check
/// that returns the message to print when the rule is broken, or nothing.
struct CommandLineRule {
  std::string_view name;
  std::function<std::optional<std::string>(const RawOptions&)> check;
};

/// The rules, in the order they are checked.
std::span<const CommandLineRule> CommandLineRules();

/// What parsing gives: the options, or the exit status to end with (0 after --help or
/// --version, 2 after a bad command line, whose message has gone to `err`).
struct CommandLine {
  std::optional<Options> options;
  int exitStatus = kExitDone;
};

/// Parses and checks `argv`; help and version go to `out`, problems to `err`.
CommandLine ParseCommandLine(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

/// The version line printed by --version.
std::string VersionText();

}  // namespace dez::cli
