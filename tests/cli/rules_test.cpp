// Every named rule of the command line has its own failing command line here, as have
// the parser's own refusals ("parser"): exit status 2 and the message, before any file
// is read or written.
#include <gtest/gtest.h>

#include <set>
#include <span>
#include <string>
#include <vector>

#include "cli/choices.h"
#include "cli/options.h"
#include "run_hcluster.h"

namespace dez::cli::testing {
namespace {

struct RuleCase {
  std::string rule;                ///< the name in CommandLineRules()
  std::vector<std::string> args;   ///< "{dir}" stands for the test's folder
  std::string message;             ///< the first line on standard error ("x..." = starts with x)
};

std::vector<RuleCase> Cases() {
  const std::string iris = Example("iris-sample.csv");
  return {
      {"parser", {iris, "--bogus"}, "hcluster: The following argument was not expected: --bogus"},
      {"parser", {"-l"}, "hcluster: INPUT is required"},
      {"parser", {iris, "-p"}, "hcluster: --power: 1 required N missing"},
      {"input-format", {"{dir}/data.txt"}, "hcluster: INPUT \"{dir}/data.txt\" is not a .csv, .tsv or .xlsx file"},
      {"type", {iris, "-t", "ordinal"},
       "hcluster: --type \"ordinal\" is not a data type; choose one of: binomial, metric, mixed, distance, similarity "
       "(also the codes 0..4)"},
      {"measure-needs-data-type", {iris, "-t", "mixed", "-m", "jaccard"},
       "hcluster: --measure applies to binomial and metric data only, not to --type mixed"},
      {"measure", {iris, "-t", "binomial", "-m", "canberra"},
       "hcluster: --measure \"canberra\" is not a measure of binomial data; choose one of: euclidean, hamann, "
       "jaccard, kulczynski1, kulczynski2, ochiai, pattern, phi, rogers-tanimoto, russel-rao, sokal-michener, "
       "sorensen-dice, squared-euclidean, variance, yule-q (also sqeuclidean, the codes 1..15)"},
      {"measure", {iris, "-m", "jaccard"},
       "hcluster: --measure \"jaccard\" is not a measure of metric data; choose one of: bray-curtis, canberra, "
       "city-block, euclidean, minkowski, correlation, squared-euclidean (also manhattan, cityblock, sqeuclidean, the "
       "codes 1..7)"},
      {"method", {iris, "-M", "median"},
       "hcluster: --method \"median\" is not a clustering method; choose one of: single, complete, average, "
       "centroid, ward, flexible (also nearest, furthest, group-average, upgma, lance-williams, the codes 1..6)"},
      {"method", {iris, "-M", "0"}, "hcluster: --method \"0\" is not a clustering method; ..."},
      {"power", {iris, "-m", "minkowski", "-p", "10"}, "hcluster: --power \"10\": the exponent must be 1 to 9"},
      {"power", {iris, "-m", "minkowski", "-p", "2.5"}, "hcluster: --power \"2.5\": the exponent must be 1 to 9"},
      {"power", {iris, "-m", "minkowski", "-p", "0"}, "hcluster: --power \"0\": the exponent must be 1 to 9"},
      {"header-or-no-header", {iris, "--header", "--no-header"},
       "hcluster: --header and --no-header contradict each other; give one"},
      {"delimiter", {iris, "--delimiter", ":"}, "hcluster: --delimiter \":\" is not a separator; choose one of: , ; TAB |"},
      {"dialect-needs-text-file", {"{dir}/book.xlsx", "--decimal-comma"},
       "hcluster: --delimiter and --decimal-comma apply to .csv and .tsv input only"},
      {"decimal-comma-needs-other-delimiter", {iris, "--delimiter", ",", "--decimal-comma"},
       "hcluster: --decimal-comma needs a separator other than ',' (for example --delimiter ';')"},
      {"missing", {iris, "--missing", "zero"}, "hcluster: --missing \"zero\" is not a choice; choose one of: refuse drop"},
      {"missing-drop-needs-data-type", {iris, "-t", "mixed", "--missing", "drop"},
       "hcluster: --missing drop applies to binomial and metric data only, not to --type mixed"},
      {"standardize", {iris, "--standardize", "zscore"},
       "hcluster: --standardize \"zscore\" is not a standardisation; choose one of: none z range range-1-1 max-1 mean-1 "
       "sd-1"},
      {"standardize-needs-metric", {iris, "-t", "binomial", "--standardize", "z"},
       "hcluster: --standardize applies to metric data only, not to --type binomial"},
      {"power-needs-minkowski", {iris, "-p", "3"},
       "hcluster: --power applies to the Minkowski distance only (--type metric --measure minkowski)"},
      {"overwrite-needs-output-range", {iris, "--overwrite"},
       "hcluster: --overwrite applies to --output-range only (the default output is a new, empty sheet)"},
      {"output-format", {iris, "-o", "{dir}/report.csv"}, "hcluster: --output \"{dir}/report.csv\" must name an .xlsx file"},
      {"output-not-input", {"{dir}/book.xlsx", "-o", "{dir}/./book.xlsx"},
       "hcluster: --output \"{dir}/./book.xlsx\" names the input file; choose another file for the report"},
      {"output-folder", {iris, "-o", "{dir}/no/such/folder/report.xlsx"},
       "hcluster: --output \"{dir}/no/such/folder/report.xlsx\": its folder does not exist"},
      {"json-folder", {iris, "--json", "{dir}/no/such/folder/r.json"},
       "hcluster: --json \"{dir}/no/such/folder/r.json\": its folder does not exist"},
      {"json-not-input-or-output", {iris, "-o", "{dir}/r.xlsx", "--json", "{dir}/r.xlsx"},
       "hcluster: --json \"{dir}/r.xlsx\" names the --output file"},
      {"json-not-input-or-output", {iris, "--json", iris}, "hcluster: --json \"" + iris + "\" names the input file"},
      {"clusters", {iris, "--clusters", "0"},
       "hcluster: --clusters \"0\" is not a list of numbers of clusters (from 1), such as 3, 2-6 or 2,4,8"},
      {"clusters", {iris, "--clusters", "6-2"}, "hcluster: --clusters \"6-2\" is not a list of numbers of clusters ..."},
      {"cut", {iris, "--cut", "1.5x"}, "hcluster: --cut \"1.5x\" is not a number"},
      {"picture-format", {iris, "--picture", "{dir}/tree.jpg"},
       "hcluster: --picture \"{dir}/tree.jpg\" must name an .svg, .png or .pdf file"},
      {"tree-files", {iris, "--newick", "{dir}/no/such/folder/t.nwk"},
       "hcluster: --newick \"{dir}/no/such/folder/t.nwk\": its folder does not exist"},
      {"distinct-outputs", {iris, "--json", "{dir}/t.svg", "--picture", "{dir}/./t.svg"},
       "hcluster: --picture \"{dir}/./t.svg\" names the --json file"},
      {"one-standard-output", {iris, "--json", "-", "--print"},
       "hcluster: --json - and --print would both write to standard output; write the JSON to a file"},
  };
}

TEST(CommandLineRules, EachFailsWithItsMessage) {
  for (const RuleCase& c : Cases()) {
    TempDir dir;
    SCOPED_TRACE(c.rule + ": " + WithDir(c.message, dir));
    std::vector<std::string> args;
    for (const std::string& arg : c.args) args.push_back(WithDir(arg, dir));
    const RunResult run = RunHcluster(args);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(Lines(run.err).size(), 2u) << run.err;
    EXPECT_TRUE(LineMatches(run.err.substr(0, run.err.find('\n')), WithDir(c.message, dir))) << run.err;
    EXPECT_TRUE(run.err.ends_with("\nRun hcluster --help for the options.\n")) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(std::filesystem::is_empty(dir.path())) << "a rule fails before anything is written";
  }
}

TEST(CommandLineRules, EveryRuleHasAFailingCase) {
  std::set<std::string> tested;
  for (const RuleCase& c : Cases()) tested.insert(c.rule);
  std::set<std::string> named{"parser"};
  for (const cli::CommandLineRule& rule : CommandLineRules()) named.insert(std::string(rule.name));
  EXPECT_EQ(tested, named);
}

TEST(CommandLine, HelpAndVersionExitZero) {
  const RunResult run = RunHcluster({"--help"});
  EXPECT_EQ(run.status, 0);
  for (const char* option : {"-r,--range ADDR", "-M,--method NAME", "--output-range ADDR", "-o,--output FILE.xlsx",
                             "--json FILE|-", "-h,--help"}) {
    EXPECT_NE(run.out.find(option), std::string::npos) << option << "\n" << run.out;
  }
  EXPECT_EQ(run.err, "");
  const RunResult version = RunHcluster({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out.rfind("hcluster ", 0), 0u) << version.out;
}

// The defaults are checked where they show: json_test.cpp (metric Euclidean average),
// membership_report_test.cpp (binomial Jaccard), and every test that reads the printed
// report without --print.
// The tables: every enumeration value has one row, found by its name and by its code.
TEST(Choices, EveryCodeOnceFoundByNameAndCode) {
  const struct {
    std::span<const Choice> table;
    std::int32_t first;
    std::int32_t last;
  } tables[] = {{TypeChoices(), 0, 4},
                {BinomialMeasureChoices(), 1, 15},
                {MetricMeasureChoices(), 1, 7},
                {MethodChoices(), 1, 6}};
  for (const auto& t : tables) {
    ASSERT_EQ(static_cast<std::int32_t>(t.table.size()), t.last - t.first + 1);
    for (std::int32_t code = t.first; code <= t.last; ++code) {
      const Choice* byCode = FindChoice(t.table, std::to_string(code));
      ASSERT_NE(byCode, nullptr) << code;
      EXPECT_EQ(byCode->code, code);
      EXPECT_EQ(FindChoice(t.table, byCode->name), byCode);
      EXPECT_FALSE(byCode->displayText.empty());
      for (const std::string_view alias : byCode->aliases) EXPECT_EQ(FindChoice(t.table, alias), byCode);
    }
  }
}

}  // namespace
}  // namespace dez::cli::testing
