// --json: the engine's results as hcluster writes them, read back and compared with the
// engine run right here on the same file, to the last bit of every double.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "dezezuvazoz/enums.h"
#include "engine/clsHClusterBO.h"
#include "host/embedded/embedded_addin_context.h"
#include "host/embedded/embedded_application.h"
#include "host/embedded/embedded_workbook.h"
#include "host/embedded/embedded_worksheet.h"
#include "io/workbook_reader.h"
#include "run_hcluster.h"
#include "runtime/variant.h"

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

/// The engine run on the first sheet of `file` as the controller hands it the data, its
/// limits read first as hcluster reads them, and the item labels.
struct EngineRun {
  std::shared_ptr<embedded::EmbeddedApplication> app = embedded::EmbeddedApplication::Create();
  host::AddinContext context = embedded::MakeEmbeddedAddinContext(app);
  clsHClusterBO engine{context};
  std::vector<std::string> labels;
  double minVal = 0.0;
  double maxVal = 0.0;

  EngineRun(const JsonCase& c, const std::string& file) {
    const auto sheet = io::WorkbookReader::Read(*app, file)->Sheets().front();
    const embedded::CellBlock used = *sheet->UsedRange();
    const bool mixed = c.clusterType == dezEZuvazozMixed;
    const std::int32_t top = used.top + (mixed ? 1 : 0);
    const std::int32_t left = c.firstColumn + (c.labels ? 1 : 0);
    const std::int32_t right = c.lastColumn > 0 ? c.lastColumn : used.right;
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
    minVal = engine.MinVal();
    maxVal = engine.MaxVal();
    for (std::int32_t r = top; r <= used.bottom; ++r) {
      labels.push_back(c.labels ? sheet->ValueAt(r, c.firstColumn).ToText() : "Row " + std::to_string(r));
    }
  }
};

/// The bits of a double, so that a failure shows them.
std::uint64_t Bits(double value) { return std::bit_cast<std::uint64_t>(value); }

std::vector<JsonCase> Cases() {
  return {
      {"metric_minkowski_3_complete", Example("iris-sample.csv"), {"-l", "-m", "minkowski", "-p", "3", "-M", "complete"},
       dezEZuvazozMetric, dezEZuvazozSMMMinkowski, dezEZuvazozMethFurthestNeigh, 3},
      {"metric_ward_substitutes_squared_euclidean", Example("iris-sample.csv"), {"-l", "-M", "ward"},
       dezEZuvazozMetric, dezEZuvazozSMMSqrdEuclidean, dezEZuvazozMethWards},
      {"metric_without_labels", Example("iris-sample.csv"), {"-r", "'iris-sample'!$B$1:$E$30"}, dezEZuvazozMetric,
       dezEZuvazozSMMEuclidean, dezEZuvazozMethGroupAvg, 2, false, 2},
      {"binomial_centroid_substitutes_squared_euclidean", Example("animals.csv"), {"-t", "binomial", "-l", "-M", "centroid"},
       dezEZuvazozBinomial, dezEZuvazozSMBSqrdEuclidean, dezEZuvazozMethCentroid},
      {"binomial_kulczynski1_undefined", Example("animals.csv"), {"-t", "binomial", "-l", "-m", "kulczynski1"},
       dezEZuvazozBinomial, dezEZuvazozSMBKulczynski1, dezEZuvazozMethGroupAvg},
      // Ward's method reads the data themselves: the qualitative column of texts is left out.
      {"mixed_ward_without_the_qualitative_column", Example("fruits-mixed.csv"),
       {"-t", "mixed", "-l", "-M", "ward", "-r", "A1:D12"}, dezEZuvazozMixed, 0, dezEZuvazozMethWards, 2, true, 1, 4},
      {"distance_single", Example("capitals-distances.csv"), {"-t", "distance", "-l", "-M", "single"},
       dezEZuvazozDifference, 0, dezEZuvazozMethNearestNeigh},
      {"similarity_average", Example("sports-similarity.csv"), {"-t", "similarity", "-l"}, dezEZuvazozSimilarity, 0,
       dezEZuvazozMethGroupAvg},
  };
}

void ExpectJsonMatchesEngine(const JsonCase& c) {
  TempDir dir;
  std::vector<std::string> args{c.file};
  args.insert(args.end(), c.options.begin(), c.options.end());
  args.push_back("--json");
  args.push_back(dir / "results.json");
  const RunResult run = RunHcluster(args);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "") << "--json FILE alone prints nothing";
  std::map<std::string, std::string> json = JsonLeaves(ReadAll(dir / "results.json"));
  const EngineRun reference(c, c.file);
  const clsHClusterBO& engine = reference.engine;
  EXPECT_EQ(json["keys"], "input,labels,difference,undefined,distance_matrix,schedule,min_val,max_val,cophenetic,"
                          "membership,membership_ties,cut,height_scale,linkage,merge,height,order");
  // Every number compared by its bits: the JSON's shortest round-trip text read back.
  const auto same = [&](const std::string& path, double expected) {
    EXPECT_EQ(Bits(std::strtod(json[path].c_str(), nullptr)), Bits(expected)) << path << " = " << json[path];
  };
  for (std::size_t i = 0; i < reference.labels.size(); ++i) {
    EXPECT_EQ(json["labels." + std::to_string(i)], reference.labels[i]);
  }
  EXPECT_EQ(json["difference"], engine.Difference() ? "true" : "false");
  EXPECT_EQ(json["undefined"], engine.Undefined() ? "true" : "false");
  const DoubleMatrix matrix = engine.DistanceMatrix();
  EXPECT_EQ(json.count("distance_matrix." + std::to_string(matrix.rows()) + ".0"), 0u);
  for (std::int32_t i = 1; i <= matrix.rows(); ++i) {
    EXPECT_EQ(json.count("distance_matrix." + std::to_string(i - 1) + "." + std::to_string(matrix.cols())), 0u);
    for (std::int32_t j = 1; j <= matrix.cols(); ++j) {
      same("distance_matrix." + std::to_string(i - 1) + "." + std::to_string(j - 1), matrix(i, j));
    }
  }
  const Schedule schedule = engine.StepMatrix();
  EXPECT_EQ(json.count("schedule." + std::to_string(schedule.UBound()) + ".entry"), 0u);
  for (std::int32_t e = 1; e <= schedule.UBound(); ++e) {
    const std::string entry = "schedule." + std::to_string(e - 1) + ".";
    const ScheduleEntry& expected = schedule[e];
    same(entry + "entry", e);
    same(entry + "first", expected.first);
    same(entry + "second", expected.second);
    for (std::size_t k = 0; k < expected.items.size(); ++k) same(entry + "items." + std::to_string(k), expected.items[k]);
    EXPECT_EQ(json.count(entry + "items." + std::to_string(expected.items.size())), 0u);
    same(entry + "level", expected.level);
    same(entry + "position", expected.position);
  }
  same("min_val", reference.minVal);
  same("max_val", reference.maxVal);
  same("cophenetic.r", engine.CopheneticR());
  same("cophenetic.df", engine.CopheneticDF());
  // The engine tests only a correlation that, rounded to 15 digits, is below 1.
  if (!engine.Undefined() && *ParseNumber(FormatGeneral(engine.CopheneticR())) < 1.0) {
    same("cophenetic.p", engine.CopheneticP());
  } else {
    EXPECT_EQ(json["cophenetic.p"], "null");
  }
}

// The engine run reads the limits first, as hcluster does, so the positions compared
// come from the laid-out tree; the undefined case has no schedule and no p.
TEST(Json, MatchesTheEngineToTheLastBit) {
  for (const JsonCase& c : Cases()) {
    SCOPED_TRACE(c.name);
    ExpectJsonMatchesEngine(c);
  }
}

}  // namespace
}  // namespace dez::cli::testing
