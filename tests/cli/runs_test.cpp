// Every data type, every measure and every method from the command line, on the bundled
// examples: exit status 0, the report's lines on standard output, and on standard error
// the measure notice where the method replaces the measure, otherwise nothing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/measure_table.h"
#include "run_hcluster.h"

namespace dez::cli::testing {
namespace {

struct RunCase {
  std::string name;
  std::vector<std::string> args;
  std::vector<std::string> lines;  ///< lines expected on standard output ("x..." = starts with x)
  std::string notice;              ///< the one line expected on standard error, or "" for none
};

void PrintTo(const RunCase& c, std::ostream* os) { *os << c.name; }

const std::string kCentroidNotice =
    "Distance Measure: The Squared Euclidean Distance will be used for the Centroid Method.";
const std::string kWardNotice = "Distance Measure: The Squared Euclidean Distance will be used for Wards Method.";

struct DataSet {
  std::string type;
  std::string file;
  std::string dataLine;          ///< the header's data-set line
  std::string defaultMeasure;    ///< the header's measure text ("" for matrix input)
  std::string matrixTitle;       ///< title of the matrix with the default measure
};

const std::vector<DataSet> kDataSets = {
    {"metric", "iris-sample.csv", "Quantitative Data Set = iris-sample!$A$1:$E$30", "Euclidean Distance",
     "Distance Matrix (Euclidean Distance)"},
    {"binomial", "animals.csv", "Binomial Data Set = animals!$A$1:$J$10", "Jaccard Similarity",
     "Similarity Matrix (Jaccard Similarity)"},
    {"mixed", "fruits-mixed.csv", "Mixed Data Set = fruits-mixed!$A$1:$E$12", "Gower's General Similarity",
     "Similarity Matrix (Gower's General Similarity)"},
    {"distance", "capitals-distances.csv", "Distance Matrix = capitals-distances!$A$1:$K$10", "", "Distance Matrix"},
    {"similarity", "sports-similarity.csv", "Similarity Matrix = sports-similarity!$A$1:$I$8", "",
     "Similarity Matrix"},
};

std::vector<RunCase> TypeAndMethodCases() {
  std::vector<RunCase> cases;
  for (const DataSet& data : kDataSets) {
    for (const dez::MethodFacts& facts : dez::kMethods) {
      const std::string option(facts.name), text(facts.displayText);
      const bool squared = option == "centroid" || option == "ward";
      // Binomial and metric data get the squared Euclidean distance instead of their
      // measure, with a notice; every header with a measure line names it.
      const bool substituted = (data.type == "metric" || data.type == "binomial") && squared;
      RunCase c;
      c.name = data.type + "_" + option;
      c.args = {Example(data.file), "--type", data.type, "--labels", "--method", option};
      std::string dataLine = data.dataLine;
      if (data.type == "mixed" && option == "ward") {
        // Ward's method reads the data themselves, and a column of texts is a type
        // mismatch (see the error tests): the qualitative column is left out here.
        c.args.insert(c.args.end(), {"--range", "A1:D12"});
        dataLine = "Mixed Data Set = fruits-mixed!$A$1:$D$12";
      }
      c.lines = {"Hierarchical Clustering Results for:", dataLine, "Cluster Method = " + text,
                 "Cophenetic Correlation", "Clustering Strategy"};
      if (!data.defaultMeasure.empty()) {
        c.lines.push_back("Distance/Similarity Measure = " +
                          (squared ? std::string("Squared Euclidean Distance") : data.defaultMeasure));
      }
      c.lines.push_back(substituted ? "Distance Matrix (Squared Euclidean Distance)" : data.matrixTitle);
      if (substituted) c.notice = option == "ward" ? kWardNotice : kCentroidNotice;
      cases.push_back(c);
    }
  }
  return cases;
}

// Every measure of the table with the text and matrix kind the report shows for it
// (Kulczynski 1 and Minkowski are run below with their own expectations).
std::vector<RunCase> MeasureCases() {
  std::vector<RunCase> cases;
  for (const dez::MeasureFacts& m : dez::kMeasures) {
    const std::string name(m.name), text(m.displayText), kind = m.distance ? "Distance" : "Similarity";
    if (name == "kulczynski1" || name == "minkowski") continue;
    const bool binomial = m.clusterType == dezEZuvazozBinomial;
    RunCase run{(binomial ? "binomial_" : "metric_") + name,
                {Example(binomial ? "animals.csv" : "iris-sample.csv"), "-l", "-m", name},
                {"Distance/Similarity Measure = " + text, kind + " Matrix (" + text + ")", "Cophenetic Correlation"},
                ""};
    if (binomial) run.args.insert(run.args.begin() + 1, {"-t", "binomial"});
    cases.push_back(std::move(run));
  }
  // Kulczynski 1 divides by the mismatches, none between two identical animals: the
  // matrix is undefined, which the report says; that is no error.
  cases.push_back({"binomial_kulczynski1_undefined",
                   {Example("animals.csv"), "-t", "binomial", "-l", "-m", "kulczynski1"},
                   {"Distance/Similarity Measure = Kulczynski 1 Similarity", "There are undefined numbers in the",
                    "distance/similarity matrix.", "Execution was halted."},
                   ""});
  cases.push_back({"metric_minkowski_power_3",
                   {Example("iris-sample.csv"), "-l", "-m", "minkowski", "-p", "3"},
                   {"Distance/Similarity Measure = Minkowski Distance Power 3", "Distance Matrix (Minkowski Distance)"},
                   ""});
  cases.push_back({"metric_minkowski_default_power_2",
                   {Example("iris-sample.csv"), "-l", "-m", "minkowski"},
                   {"Distance/Similarity Measure = Minkowski Distance Power 2"},
                   ""});
  return cases;
}

// Other spellings: aliases, numeric codes, letter case, long and short option names.
std::vector<RunCase> SpellingCases() {
  return {
      {"method_alias_nearest", {Example("iris-sample.csv"), "-l", "-M", "nearest"}, {"Cluster Method = Nearest Neighbour"}, ""},
      {"method_alias_furthest", {Example("iris-sample.csv"), "-l", "-M", "furthest"}, {"Cluster Method = Furthest Neighbour"}, ""},
      {"method_alias_group_average", {Example("iris-sample.csv"), "-l", "-M", "group-average"}, {"Cluster Method = Group Average"}, ""},
      {"method_alias_lance_williams", {Example("iris-sample.csv"), "-l", "-M", "lance-williams"}, {"Cluster Method = Flexible (Lance-Williams)"}, ""},
      {"method_code_1", {Example("iris-sample.csv"), "-l", "-M", "1"}, {"Cluster Method = Nearest Neighbour"}, ""},
      {"method_code_5", {Example("iris-sample.csv"), "-l", "-M", "5"}, {"Cluster Method = Ward's Method"}, kWardNotice},
      {"method_upper_case", {Example("iris-sample.csv"), "-l", "--method", "COMPLETE"}, {"Cluster Method = Furthest Neighbour"}, ""},
      {"type_code_0_measure_code_13", {Example("animals.csv"), "-t", "0", "-l", "-m", "13"},
       {"Binomial Data Set = animals!$A$1:$J$10", "Distance/Similarity Measure = Squared Euclidean Distance"}, ""},
      {"type_code_3", {Example("capitals-distances.csv"), "-t", "3", "-l"}, {"Distance Matrix = capitals-distances!$A$1:$K$10"}, ""},
      {"metric_measure_code_3", {Example("iris-sample.csv"), "--labels", "--measure", "3"},
       {"Distance/Similarity Measure = City Block Distance"}, ""},
      {"ward_with_squared_euclidean_has_no_notice", {Example("iris-sample.csv"), "-l", "-M", "ward", "-m", "squared-euclidean"},
       {"Distance/Similarity Measure = Squared Euclidean Distance"}, ""},
      {"text_dendrogram", {Example("animals.csv"), "-t", "binomial", "-l", "--text-dendrogram"},
       {"Dendrogram", "lion     ┘..."}, ""},
      {"no_labels_rows_named_by_row", {Example("iris-sample.csv"), "-r", "'iris-sample'!$B$1:$E$30"},
       {"Quantitative Data Set = iris-sample!$B$1:$E$30", "Row 1  ...", "Row 30  ..."}, ""},
      {"unqualified_range_is_on_the_first_sheet", {Example("iris-sample.csv"), "-l", "-r", "A1:E10"},
       {"Quantitative Data Set = iris-sample!$A$1:$E$10"}, ""},
      {"one_column_with_ward", {Example("iris-sample.csv"), "-l", "-r", "A1:B30", "-M", "ward"},
       {"Cluster Method = Ward's Method"}, kWardNotice},
  };
}

class HclusterRun : public ::testing::TestWithParam<RunCase> {};

TEST_P(HclusterRun, ExitsZeroWithTheReport) {
  const RunCase& c = GetParam();
  const RunResult run = RunHcluster(c.args);
  ASSERT_EQ(run.status, 0) << run.err;
  for (const std::string& line : c.lines) EXPECT_TRUE(HasLine(run.out, line)) << "missing: " << line << "\n" << run.out;
  EXPECT_EQ(run.err, c.notice.empty() ? std::string() : c.notice + "\n");
}

std::string CaseName(const ::testing::TestParamInfo<RunCase>& info) {
  std::string name = info.param.name;
  for (char& ch : name) {
    if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
  }
  return name;
}

INSTANTIATE_TEST_SUITE_P(TypesAndMethods, HclusterRun, ::testing::ValuesIn(TypeAndMethodCases()), CaseName);
INSTANTIATE_TEST_SUITE_P(Measures, HclusterRun, ::testing::ValuesIn(MeasureCases()), CaseName);
INSTANTIATE_TEST_SUITE_P(Spellings, HclusterRun, ::testing::ValuesIn(SpellingCases()), CaseName);

}  // namespace
}  // namespace dez::cli::testing
