// Failures through the binary: the exit status, the message on standard error, and that
// nothing is written: no -o workbook or --json file is created, an existing one keeps its
// bytes, and standard output stays empty.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "run_hcluster.h"

namespace dez::cli::testing {
namespace {

struct ErrorCase {
  std::string name;
  std::vector<std::string> args;   ///< "{dir}" stands for the test's folder
  int status;
  std::vector<std::string> lines;  ///< lines expected on standard error ("x..." = starts with x)
  bool withOutputs = true;         ///< also ask for -o, --json and --print (not for bad command lines)
};

void PrintTo(const ErrorCase& c, std::ostream* os) { *os << c.name; }

const std::string kDefault = "Application-defined or object-defined error";

/// Files that the cases read, written into the test's folder.
void WriteInputs(const TempDir& dir) {
  dir.Write("binary-with-2.csv", "a,1,0,1\nb,0,2,1\nc,1,1,0\n");
  dir.Write("one-row.csv", "a,1,2,3\n");
  dir.Write("not-square.csv", "1,2,3,4\n2,1,3,4\n3,3,1,4\n");
  dir.Write("mixed-bad-header.csv", "NUM,QUANT\n1,2\n2,3\n3,5\n");
  dir.Write("mixed-no-variation.csv", "QUANT,QUAL\n1,red\n2,red\n3,red\n");
  dir.Write("mixed-bin-3.csv", "BIN,QUANT\n1,2\n3,3\n0,5\n");
  dir.Write("mixed-empty-qual.csv", "QUAL,QUANT\nred,2\n,3\nblue,5\n");
  std::filesystem::create_directories(dir.path() / "folder.csv");
}

std::vector<ErrorCase> Cases() {
  const std::string iris = Example("iris-sample.csv");
  return {
      // Bad command lines (the named rules: rules_test.cpp).
      {"unknown_option", {iris, "--bogus"}, 2, {"hcluster: The following argument was not expected: --bogus"}, false},
      {"no_input", {"-l"}, 2, {"hcluster: INPUT is required"}, false},
      {"power_without_value", {iris, "-p"}, 2, {"hcluster: --power: 1 required N missing"}, false},
      // Files that cannot be read.
      {"missing_file", {"{dir}/missing.csv"}, 2,
       {"hcluster: cannot read the input file: {dir}/missing.csv: cannot open: No such file or directory"}},
      {"folder_as_input", {"{dir}/folder.csv"}, 2, {"hcluster: cannot read the input file: {dir}/folder.csv..."}},
      // Errors of the component.
      {"too_few_variables_5048", {iris, "-l", "-r", "A1:B30"}, 1,
       {"hcluster: error -2147216456 (offset 5048): " + kDefault, "  at Line ...",
        "  fewer than 2 variables (columns); only Ward's method takes one"}},
      {"binary_data_6004", {"{dir}/binary-with-2.csv", "-t", "binomial", "-l"}, 1,
       {"hcluster: error -2147215500 (dezEZuvazozInvalidBinData): " + kDefault, "  at Line ...",
        "  binomial data: a cell of the range is not 1 or 0"}},
      {"metric_text_6002", {iris}, 1,
       {"hcluster: error -2147215502 (dezEZuvazozInvalidMixedQuantData): " + kDefault, "  at Line ..."}},
      {"matrix_not_square_6006", {"{dir}/not-square.csv", "-t", "distance"}, 1,
       {"hcluster: error -2147215498 (dezEZuvazozInvalidDiffData): " + kDefault, "  at Line ..."}},
      {"mixed_header_6000", {"{dir}/mixed-bad-header.csv", "-t", "mixed"}, 1,
       {"hcluster: error -2147215504 (dezEZuvazozInvalidMixedHeader): " + kDefault, "  at Line ..."}},
      {"mixed_bin_6001", {"{dir}/mixed-bin-3.csv", "-t", "mixed"}, 1,
       {"hcluster: error -2147215503 (dezEZuvazozInvalidMixedBinData): " + kDefault, "  at Line ..."}},
      {"mixed_qual_6003", {"{dir}/mixed-empty-qual.csv", "-t", "mixed"}, 1,
       {"hcluster: error -2147215501 (dezEZuvazozInvalidMixedQualData): " + kDefault, "  at Line ..."}},
      {"mixed_no_variation_5094", {"{dir}/mixed-no-variation.csv", "-t", "mixed"}, 1,
       {"hcluster: error -2147216410 (offset 5094): " + kDefault, "  at Line ..."}},
      {"one_case_5050", {"{dir}/one-row.csv", "-l"}, 1, {"hcluster: error -2147216454 (offset 5050): " + kDefault}},
      {"two_areas_5071", {iris, "-l", "-r", "A1:C10,A12:C20"}, 1,
       {"hcluster: error -2147216433 (offset 5071): " + kDefault, "  at Line ..."}},
      {"empty_range_5011", {iris, "-l", "-r", ""}, 1,
       {"hcluster: error -2147216493 (offset 5011): No variables range specified", "  at clsHCluster"}},
      {"range_not_an_address_5009", {iris, "-l", "-r", "Nowhere!A1:B2"}, 1,
       {"hcluster: error -2147216495 (offset 5009): ...", "  --range is not an address of the workbook"}},
      {"output_range_not_an_address_5001", {iris, "-l", "--output-range", "A1:"}, 1,
       {"hcluster: error -2147216503 (offset 5001): ...", "  --output-range is not an address of the workbook"}},
      {"output_range_refused_5020", {iris, "-l", "--output-range", "'iris-sample'!$C$3"}, 1,
       {"hcluster: error -2147216484 (offset 5020): The report of ... at 'iris-sample'!$C$3 would cover cells that "
        "hold data in ...",
        "  at Line ... in DEZEZuvazoz.clsHCluster.Results",
        "  the report may not go there; choose another --output-range, or add --overwrite"}},
      {"mixed_ward_with_qualitative_texts_13", {Example("fruits-mixed.csv"), "-t", "mixed", "-l", "-M", "ward"}, 1,
       {"hcluster: error 13 (type mismatch): Type mismatch",
        "  at Line ... in DEZEZuvazoz.clsHClusterBO.ReduceMatrix.Analyse.GetResults.Results"}},
  };
}

class HclusterFails : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(HclusterFails, WithItsStatusAndMessageAndWritesNothing) {
  const ErrorCase& c = GetParam();
  TempDir dir;
  WriteInputs(dir);
  const std::string existing = dir.Write("existing.xlsx", "old bytes");
  for (const bool outputExists : {false, true}) {
    SCOPED_TRACE(outputExists ? "the output files exist" : "no output files yet");
    const std::string output = outputExists ? existing : dir / "new.xlsx";
    const std::string json = dir / "results.json";
    if (outputExists) dir.Write("results.json", "old json");
    std::vector<std::string> args;
    for (const std::string& arg : c.args) args.push_back(WithDir(arg, dir));
    if (c.withOutputs) {  // a failing run with every output asked for
      args.insert(args.end(), {"-o", output, "--json", json, "--print"});
    }
    const RunResult run = RunHcluster(args);
    EXPECT_EQ(run.status, c.status) << run.err;
    for (const std::string& line : c.lines) {
      EXPECT_TRUE(HasLine(run.err, WithDir(line, dir))) << "missing: " << WithDir(line, dir) << "\n" << run.err;
    }
    EXPECT_EQ(run.out, "");
    if (outputExists) {
      EXPECT_EQ(ReadAll(existing), "old bytes");
      EXPECT_EQ(ReadAll(json), "old json");
    } else {
      EXPECT_FALSE(std::filesystem::exists(output));
      EXPECT_FALSE(std::filesystem::exists(json));
    }
    // Nothing is left behind in the folder: no temporary files either.
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
      const std::string name = entry.path().filename().string();
      if (name.find(".tmp") != std::string::npos || name.find("~") != std::string::npos) left.push_back(name);
    }
    EXPECT_TRUE(left.empty()) << left.front();
  }
}

std::string CaseName(const ::testing::TestParamInfo<ErrorCase>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(Cases, HclusterFails, ::testing::ValuesIn(Cases()), CaseName);

TEST(HclusterErrors, OverwriteLetsTheRefusedOutputRangeThrough) {
  const RunResult run =
      RunHcluster({Example("iris-sample.csv"), "-l", "--output-range", "'iris-sample'!$C$3", "--overwrite"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(HasLine(run.out, "Hierarchical Clustering Results for:"));
}

TEST(HclusterErrors, AnUnwritableOutputIsExitStatusTwo) {
  TempDir dir;
  std::filesystem::create_directories(dir.path() / "taken.xlsx");  // a folder where the file should go
  const RunResult run = RunHcluster({Example("iris-sample.csv"), "-l", "-o", dir / "taken.xlsx"});
  EXPECT_EQ(run.status, 2);
  EXPECT_TRUE(HasLine(run.err, "hcluster: cannot write the output: ...")) << run.err;
}

}  // namespace
}  // namespace dez::cli::testing
