// Every data type, every measure and every method from the command line, on the bundled
// examples: exit status 0, the report's lines on standard output, and on standard error
// the measure notice where the method replaces the measure, otherwise nothing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

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

struct MethodRow {
  std::string option;
  std::string text;
};

// Every method with the text the report shows for it.
const std::vector<MethodRow> kMethods = {
    {"single", "Nearest Neighbour"}, {"complete", "Furthest Neighbour"}, {"average", "Group Average"},
    {"centroid", "Centroid"},        {"ward", "Ward's Method"},          {"flexible", "Flexible (Lance-Williams)"},
};

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
    for (const MethodRow& method : kMethods) {
      const bool squared = method.option == "centroid" || method.option == "ward";
      // Binomial and metric data get the squared Euclidean distance instead of their
      // measure, with a notice; every header with a measure line names it.
      const bool substituted = (data.type == "metric" || data.type == "binomial") && squared;
      RunCase c;
      c.name = data.type + "_" + method.option;
      c.args = {Example(data.file), "--type", data.type, "--labels", "--method", method.option};
      std::string dataLine = data.dataLine;
      if (data.type == "mixed" && method.option == "ward") {
        // Ward's method reads the data themselves, and a column of texts is a type
        // mismatch (see the error tests): the qualitative column is left out here.
        c.args.insert(c.args.end(), {"--range", "A1:D12"});
        dataLine = "Mixed Data Set = fruits-mixed!$A$1:$D$12";
      }
      c.lines = {"Hierarchical Clustering Results for:", dataLine, "Cluster Method = " + method.text,
                 "Cophenetic Correlation", "Clustering Strategy"};
      if (!data.defaultMeasure.empty()) {
        c.lines.push_back("Distance/Similarity Measure = " +
                          (squared ? std::string("Squared Euclidean Distance") : data.defaultMeasure));
      }
      c.lines.push_back(substituted ? "Distance Matrix (Squared Euclidean Distance)" : data.matrixTitle);
      if (substituted) c.notice = method.option == "ward" ? kWardNotice : kCentroidNotice;
      cases.push_back(c);
    }
  }
  return cases;
}

struct MeasureRow {
  std::string option;
  std::string text;
  std::string matrixKind;  ///< "Distance" or "Similarity"
};

std::vector<RunCase> MeasureCases() {
  const std::vector<MeasureRow> binomial = {
      {"euclidean", "Euclidean Distance", "Distance"},
      {"hamann", "Hamann Similarity", "Similarity"},
      {"jaccard", "Jaccard Similarity", "Similarity"},
      {"kulczynski2", "Kulczynski 2 Similarity", "Similarity"},
      {"ochiai", "Ochiai Similarity", "Similarity"},
      {"pattern", "Pattern Difference", "Distance"},
      {"phi", "Phi 4-Point Correlation", "Similarity"},
      {"rogers-tanimoto", "Rogers-Tanimoto Similarity", "Similarity"},
      {"russel-rao", "Russel-Rao Similarity", "Similarity"},
      {"sokal-michener", "Sokal-Michener Similarity", "Similarity"},
      {"sorensen-dice", "Sorensen-Dice Similarity", "Similarity"},
      {"squared-euclidean", "Squared Euclidean Distance", "Distance"},
      {"variance", "Variance Distance", "Distance"},
      {"yule-q", "Yule's Q", "Similarity"},
  };
  const std::vector<MeasureRow> metric = {
      {"bray-curtis", "Bray-Curtis Distance", "Distance"},
      {"canberra", "Canberra Distance", "Distance"},
      {"city-block", "City Block Distance", "Distance"},
      {"euclidean", "Euclidean Distance", "Distance"},
      {"correlation", "Pearson Correlation", "Similarity"},
      {"squared-euclidean", "Squared Euclidean Distance", "Distance"},
  };
  std::vector<RunCase> cases;
  for (const MeasureRow& m : binomial) {
    cases.push_back({"binomial_" + m.option,
                     {Example("animals.csv"), "-t", "binomial", "-l", "-m", m.option},
                     {"Distance/Similarity Measure = " + m.text, m.matrixKind + " Matrix (" + m.text + ")",
                      "Cophenetic Correlation"},
                     ""});
  }
  for (const MeasureRow& m : metric) {
    cases.push_back({"metric_" + m.option,
                     {Example("iris-sample.csv"), "-l", "-m", m.option},
                     {"Distance/Similarity Measure = " + m.text, m.matrixKind + " Matrix (" + m.text + ")",
                      "Cophenetic Correlation"},
                     ""});
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
