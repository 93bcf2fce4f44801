// --json: the engine's results as hcluster writes them, read back and compared with the
// engine run right here on the same file, to the last bit of every double.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "dezezuvazoz/enums.h"
#include "engine/clsHClusterBO.h"
#include "host/embedded/embedded_addin_context.h"
#include "host/embedded/embedded_application.h"
#include "host/embedded/embedded_workbook.h"
#include "host/embedded/embedded_worksheet.h"
#include "io/workbook_reader.h"
#include "json_reader.h"
#include "run_hcluster.h"
#include "runtime/variant.h"
#include "tests/support/needs.h"

namespace dez::cli::testing {
namespace {

/// One analysis: the command line, and the same analysis as the engine is given it.
struct JsonCase {
  std::string name;
  std::string file;                  ///< a bundled example, or a file the test writes
  std::vector<std::string> options;  ///< hcluster's options besides INPUT and --json
  std::int32_t clusterType;
  std::int32_t measure;              ///< as the engine receives it (after the substitution)
  std::int32_t method;
  std::int16_t power = 2;
  bool labels = true;
  std::int32_t firstColumn = 1;      ///< first column of the range on the sheet
  std::int32_t lastColumn = 0;       ///< last column of the range; 0: the last used one
};

void PrintTo(const JsonCase& c, std::ostream* os) { *os << c.name; }

/// The engine's results, read in the order hcluster reads them: the limits first.
struct EngineResults {
  std::vector<std::string> labels;
  bool difference = false;
  bool undefined = false;
  DoubleMatrix matrix;
  Schedule schedule;
  double minVal = 0.0;
  double maxVal = 0.0;
  double r = 0.0;
  std::int32_t df = 0;
  std::optional<double> p;
};

/// Runs the engine on the first sheet of `file` as the controller hands it the data.
EngineResults RunEngine(const JsonCase& c, const std::string& file) {
  const auto app = embedded::EmbeddedApplication::Create();
  const auto book = io::WorkbookReader::Read(*app, file);
  const auto sheet = book->Sheets().front();
  const embedded::CellBlock used = *sheet->UsedRange();
  const bool mixed = c.clusterType == dezEZuvazozMixed;
  const std::int32_t top = used.top + (mixed ? 1 : 0);
  const std::int32_t left = c.firstColumn + (c.labels ? 1 : 0);
  const std::int32_t right = c.lastColumn > 0 ? c.lastColumn : used.right;

  host::AddinContext context = embedded::MakeEmbeddedAddinContext(app);
  clsHClusterBO engine(context);
  engine.ClusterType(c.clusterType);
  engine.Method(c.method);
  engine.Measure(c.measure);
  std::int16_t power = c.power;
  engine.Power(power);
  engine.Data(sheet->ReadBlock({top, left, used.bottom, right}));
  if (mixed) {
    const VariantMatrix row = sheet->ReadBlock({used.top, left, used.top, right});
    StringMatrix types(1, row.cols());
    for (std::int32_t k = 1; k <= row.cols(); ++k) types(1, k) = row(1, k).ToText();
    engine.MixedVarType(types);
  }
  engine.Analyse();

  EngineResults results;
  results.minVal = engine.MinVal();
  results.maxVal = engine.MaxVal();
  for (std::int32_t row = top; row <= used.bottom; ++row) {
    results.labels.push_back(c.labels ? sheet->ValueAt(row, c.firstColumn).ToText() : "Row " + std::to_string(row));
  }
  results.difference = engine.Difference();
  results.undefined = engine.Undefined();
  results.matrix = engine.DistanceMatrix();
  results.schedule = engine.StepMatrix();
  results.r = engine.CopheneticR();
  results.df = engine.CopheneticDF();
  // The engine tests only a correlation that, rounded to 15 digits, is below 1.
  const bool tested = !results.undefined && *ParseNumber(FormatGeneral(results.r)) < 1.0;
  if (tested) results.p = engine.CopheneticP();
  return results;
}

/// The bits of a double, so that a failure shows them.
std::uint64_t Bits(double value) { return std::bit_cast<std::uint64_t>(value); }

std::vector<JsonCase> Cases() {
  return {
      {"metric_euclidean_average", Example("iris-sample.csv"), {"-l"}, dezEZuvazozMetric, dezEZuvazozSMMEuclidean,
       dezEZuvazozMethGroupAvg},
      {"metric_minkowski_3_complete", Example("iris-sample.csv"), {"-l", "-m", "minkowski", "-p", "3", "-M", "complete"},
       dezEZuvazozMetric, dezEZuvazozSMMMinkowski, dezEZuvazozMethFurthestNeigh, 3},
      {"metric_correlation_single", Example("iris-sample.csv"), {"-l", "-m", "correlation", "-M", "single"},
       dezEZuvazozMetric, dezEZuvazozSMMCorrelation, dezEZuvazozMethNearestNeigh},
      {"metric_canberra_flexible", Example("iris-sample.csv"), {"-l", "-m", "canberra", "-M", "flexible"},
       dezEZuvazozMetric, dezEZuvazozSMMCanberra, dezEZuvazozMethLanceWilliams},
      {"metric_ward_substitutes_squared_euclidean", Example("iris-sample.csv"), {"-l", "-M", "ward"},
       dezEZuvazozMetric, dezEZuvazozSMMSqrdEuclidean, dezEZuvazozMethWards},
      {"metric_without_labels", Example("iris-sample.csv"), {"-r", "'iris-sample'!$B$1:$E$30"}, dezEZuvazozMetric,
       dezEZuvazozSMMEuclidean, dezEZuvazozMethGroupAvg, 2, false, 2},
      {"binomial_jaccard_average", Example("animals.csv"), {"-t", "binomial", "-l"}, dezEZuvazozBinomial,
       dezEZuvazozSMBJaccard, dezEZuvazozMethGroupAvg},
      {"binomial_yule_q_flexible", Example("animals.csv"), {"-t", "binomial", "-l", "-m", "yule-q", "-M", "flexible"},
       dezEZuvazozBinomial, dezEZuvazozSMBYuleQ, dezEZuvazozMethLanceWilliams},
      {"binomial_centroid_substitutes_squared_euclidean", Example("animals.csv"), {"-t", "binomial", "-l", "-M", "centroid"},
       dezEZuvazozBinomial, dezEZuvazozSMBSqrdEuclidean, dezEZuvazozMethCentroid},
      {"binomial_kulczynski1_undefined", Example("animals.csv"), {"-t", "binomial", "-l", "-m", "kulczynski1"},
       dezEZuvazozBinomial, dezEZuvazozSMBKulczynski1, dezEZuvazozMethGroupAvg},
      {"mixed_average", Example("fruits-mixed.csv"), {"-t", "mixed", "-l"}, dezEZuvazozMixed, 0, dezEZuvazozMethGroupAvg},
      // Ward's method reads the data themselves: the qualitative column of texts is left out.
      {"mixed_ward_without_the_qualitative_column", Example("fruits-mixed.csv"),
       {"-t", "mixed", "-l", "-M", "ward", "-r", "A1:D12"}, dezEZuvazozMixed, 0, dezEZuvazozMethWards, 2, true, 1, 4},
      {"distance_single", Example("capitals-distances.csv"), {"-t", "distance", "-l", "-M", "single"},
       dezEZuvazozDifference, 0, dezEZuvazozMethNearestNeigh},
      {"distance_ward", Example("capitals-distances.csv"), {"-t", "distance", "-l", "-M", "ward"}, dezEZuvazozDifference,
       0, dezEZuvazozMethWards},
      {"similarity_average", Example("sports-similarity.csv"), {"-t", "similarity", "-l"}, dezEZuvazozSimilarity, 0,
       dezEZuvazozMethGroupAvg},
      {"similarity_centroid", Example("sports-similarity.csv"), {"-t", "similarity", "-l", "-M", "centroid"},
       dezEZuvazozSimilarity, 0, dezEZuvazozMethCentroid},
  };
}

class JsonMatchesEngine : public ::testing::TestWithParam<JsonCase> {};

TEST_P(JsonMatchesEngine, ToTheLastBit) {
  const JsonCase& c = GetParam();
  TempDir dir;
  std::vector<std::string> args{c.file};
  args.insert(args.end(), c.options.begin(), c.options.end());
  args.push_back("--json");
  args.push_back(dir / "results.json");
  const RunResult run = RunHcluster(args);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "") << "--json FILE alone prints nothing";
  const JsonValue json = JsonReader::Parse(ReadAll(dir / "results.json"));
  const EngineResults engine = RunEngine(c, c.file);

  // The keys of the schema, in its order.
  std::vector<std::string> keys;
  for (const auto& [key, value] : json.Object()) keys.push_back(key);
  EXPECT_EQ(keys, (std::vector<std::string>{"input", "labels", "difference", "undefined", "distance_matrix",
                                            "schedule", "min_val", "max_val", "cophenetic", "membership",
                                            "membership_ties", "cut", "height_scale", "linkage", "merge", "height",
                                            "order"}));

  std::vector<std::string> labels;
  for (const JsonValue& label : json["labels"].Array()) labels.push_back(label.Text());
  EXPECT_EQ(labels, engine.labels);
  EXPECT_EQ(json["difference"].Boolean(), engine.difference);
  EXPECT_EQ(json["undefined"].Boolean(), engine.undefined);

  const JsonArray& matrix = json["distance_matrix"].Array();
  ASSERT_EQ(static_cast<std::int32_t>(matrix.size()), engine.matrix.rows());
  for (std::int32_t i = 1; i <= engine.matrix.rows(); ++i) {
    const JsonArray& row = matrix[static_cast<std::size_t>(i - 1)].Array();
    ASSERT_EQ(static_cast<std::int32_t>(row.size()), engine.matrix.cols());
    for (std::int32_t j = 1; j <= engine.matrix.cols(); ++j) {
      EXPECT_EQ(Bits(row[static_cast<std::size_t>(j - 1)].Number()), Bits(engine.matrix(i, j))) << i << "," << j;
    }
  }

  const JsonArray& schedule = json["schedule"].Array();
  ASSERT_EQ(static_cast<std::int32_t>(schedule.size()), engine.schedule.UBound());
  for (std::int32_t e = 1; e <= engine.schedule.UBound(); ++e) {
    const JsonValue& entry = schedule[static_cast<std::size_t>(e - 1)];
    const ScheduleEntry& expected = engine.schedule[e];
    EXPECT_EQ(entry["entry"].Number(), e);
    EXPECT_EQ(entry["first"].Number(), expected.first) << "entry " << e;
    EXPECT_EQ(entry["second"].Number(), expected.second) << "entry " << e;
    std::vector<std::int32_t> items;
    for (const JsonValue& item : entry["items"].Array()) items.push_back(static_cast<std::int32_t>(item.Number()));
    EXPECT_EQ(items, expected.items) << "entry " << e;
    EXPECT_EQ(Bits(entry["level"].Number()), Bits(expected.level)) << "entry " << e;
    EXPECT_EQ(Bits(entry["position"].Number()), Bits(expected.position)) << "entry " << e;
  }
  EXPECT_EQ(Bits(json["min_val"].Number()), Bits(engine.minVal));
  EXPECT_EQ(Bits(json["max_val"].Number()), Bits(engine.maxVal));

  const JsonValue& cophenetic = json["cophenetic"];
  EXPECT_EQ(Bits(cophenetic["r"].Number()), Bits(engine.r));
  EXPECT_EQ(cophenetic["df"].Number(), engine.df);
  ASSERT_EQ(cophenetic["p"].IsNull(), !engine.p.has_value());
  if (engine.p) {
    EXPECT_EQ(Bits(cophenetic["p"].Number()), Bits(*engine.p));
  }
}

std::string CaseName(const ::testing::TestParamInfo<JsonCase>& info) { return info.param.name; }

// The table's engine run reads the limits first, as hcluster does, so the positions it
// compares come from the laid-out tree; its undefined case has no schedule and no p.
INSTANTIATE_TEST_SUITE_P(Examples, JsonMatchesEngine, ::testing::ValuesIn(Cases()), CaseName);

TEST(Json, PIsNullWhenTheCorrelationIsOne) {
  // Two items: the tree reproduces the one distance exactly, R = 1, and the engine makes
  // no test.
  TempDir dir;
  const std::string file = dir.Write("two.csv", "a,1,2\nb,2,4\n");
  const RunResult run = RunHcluster({file, "-l", "--json", "-"});
  ASSERT_EQ(run.status, 0) << run.err;
  const JsonValue json = JsonReader::Parse(run.out);
  EXPECT_EQ(json["cophenetic"]["r"].Number(), 1.0);
  EXPECT_TRUE(json["cophenetic"]["p"].IsNull());
  EXPECT_EQ(json["cophenetic"]["df"].Number(), -1.0);
}

TEST(Json, LabelsAreEscaped) {
  TempDir dir;
  const std::string file = dir.Write("labels.csv", "\"say \"\"hi\"\"\",1,2\nback\\slash,2,5\nÅsa,4,1\n");
  const RunResult run = RunHcluster({file, "-l", "--json", "-"});
  ASSERT_EQ(run.status, 0) << run.err;
  const JsonValue json = JsonReader::Parse(run.out);
  EXPECT_EQ(json["labels"][0].Text(), "say \"hi\"");
  EXPECT_EQ(json["labels"][1].Text(), "back\\slash");
  EXPECT_EQ(json["labels"][2].Text(), "Åsa");
}

TEST(Json, PythonReadsIt) {
  DEZ_NEEDS(std::system("python3 -c 'import json' >/dev/null 2>&1") == 0, "python3");
  TempDir dir;
  const RunResult run =
      RunHcluster({Example("fruits-mixed.csv"), "-t", "mixed", "-l", "--json", dir / "results.json"});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string command = "python3 -c 'import json,sys; d=json.load(open(sys.argv[1])); "
                              "assert len(d[\"schedule\"]) == 21 and len(d[\"distance_matrix\"]) == 11' " +
                              (dir / "results.json");
  EXPECT_EQ(std::system(command.c_str()), 0);
}

TEST(Json, WithPrintTheReportGoesToStandardOutput) {
  TempDir dir;
  const RunResult run = RunHcluster({Example("iris-sample.csv"), "-l", "--json", dir / "r.json", "--print"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(HasLine(run.out, "Hierarchical Clustering Results for:"));
  EXPECT_NO_THROW(JsonReader::Parse(ReadAll(dir / "r.json")));
}

}  // namespace
}  // namespace dez::cli::testing
