#include "cli/tree_outputs.h"

#include <fmt/format.h>

#include <fstream>

#include "cli/choices.h"
#include "cli/newick.h"
#include "cli/tree_layouts.h"
#include "dezezuvazoz/enums.h"
#include "io/atomic_output_file.h"
#include "io/dendrogram_picture.h"
#include "io/file_error.h"

namespace dez::cli {

namespace {

bool SubstitutesSquaredEuclidean(const Options& options) {
  const bool squaredMethod = options.method == dezEZuvazozMethCentroid || options.method == dezEZuvazozMethWards;
  return squaredMethod && !MeasureChoicesFor(options.clusterType).empty();
}

InputDescription DescribeInput(const Options& options, const std::string& varRange) {
  InputDescription input;
  input.file = options.input.string();
  input.range = varRange;
  input.type = std::string(ChoiceOfCode(TypeChoices(), options.clusterType)->name);
  const std::span<const Choice> measures = MeasureChoicesFor(options.clusterType);
  std::int32_t measure = options.measure;
  if (SubstitutesSquaredEuclidean(options)) {
    measure = options.clusterType == dezEZuvazozBinomial ? std::int32_t{dezEZuvazozSMBSqrdEuclidean}
                                                         : std::int32_t{dezEZuvazozSMMSqrdEuclidean};
  }
  if (const Choice* used = ChoiceOfCode(measures, measure)) {
    input.measure = std::string(used->name);
    input.measureText = std::string(used->displayText);
  } else if (options.clusterType == dezEZuvazozMixed) {
    input.measureText = std::string(kMixedMeasureText);
  }
  input.method = std::string(ChoiceOfCode(MethodChoices(), options.method)->name);
  input.methodText = options.methodText;
  if (options.clusterType == dezEZuvazozMetric && measure == dezEZuvazozSMMMinkowski) input.power = options.power;
  input.labels = options.labels;
  return input;
}

/// The level halfway between the last merge inside the k clusters and the first above.
std::optional<double> CutLevelOf(const Schedule& steps, std::int32_t n, std::int32_t k, double leafLevel) {
  if (k <= 1) return std::nullopt;
  const double below = k == n ? leafLevel : steps[2 * n - k].level;
  return (below + steps[2 * n - k + 1].level) / 2;
}

bool HasTree(const clsHCluster& hc) {
  const clsHClusterBO& engine = hc.EngineResults();
  return !engine.Undefined() && engine.StepMatrixView().UBound() == 2 * hc.ItemLabels().UBound() - 1;
}

JsonAdditions Additions(const Options& options, const TreeOutputs& prepared) {
  JsonAdditions additions;
  additions.input = &prepared.input;
  additions.writeMatrix = !options.noMatrix;
  additions.memberships = &prepared.memberships;
  additions.cutLevel = options.cut;
  additions.cutClusters = prepared.cutClusters;
  additions.method = options.method;
  additions.dataMembers = prepared.dataMembers;
  return additions;
}

void WriteNewickFile(const io::AtomicOutputFile& file, const clsHCluster& hc, const TreeOutputs& prepared,
                     const Options& options) {
  const clsHClusterBO& engine = hc.EngineResults();
  const std::int32_t n = hc.ItemLabels().UBound();
  const std::vector<double> heights = TreeHeights(engine.StepMatrixView(), n,
                                                  HeightScaleOf(options.method, engine.Difference()), prepared.maxVal);
  std::ofstream stream(file.TempPath(), std::ios::binary | std::ios::trunc);
  WriteNewick(stream, engine.StepMatrixView(), n, hc.ItemLabels(), heights);
  stream.close();
  if (!stream) throw io::FileError(io::FileErrorKind::kWrite, file.Destination().string(), {}, "cannot write the file",
                                   "WriteNewick");
}

io::DendrogramPicture Picture(const Options& options, const clsHCluster& hc, const TreeOutputs& prepared) {
  const clsHClusterBO& engine = hc.EngineResults();
  io::DendrogramPicture picture;
  picture.steps = &engine.StepMatrixView();
  for (std::int32_t i = 1; i <= hc.ItemLabels().UBound(); ++i) picture.labels.push_back(hc.ItemLabels().At(i));
  picture.minVal = prepared.minVal;
  picture.maxVal = prepared.maxVal;
  picture.difference = engine.Difference();
  const std::string measure = prepared.input.measureText
                                  ? *prepared.input.measureText
                                  : std::string(ChoiceOfCode(TypeChoices(), options.clusterType)->displayText);
  picture.title = "Dendrogram: " + options.methodText + ", " + measure;
  picture.axisTitle = options.method == dezEZuvazozMethWards ? "Total within-cluster sum of squares"
                      : engine.Difference()                  ? "Distance"
                                                             : "Similarity";
  if (prepared.colouring) {
    picture.clusterOfItem = prepared.colouring->clusterOfItem;
    picture.clusters = prepared.colouring->k;
  }
  picture.cutLevel = prepared.pictureCutLevel;
  return picture;
}

}  // namespace

bool WantsTreeOutputs(const Options& options) {
  return options.json || options.newick || options.picture || !options.clusters.empty() || options.cut;
}

std::optional<std::string> PrepareTreeOutputs(const Options& options, clsHCluster& hc, const std::string& varRange,
                                              std::ostream& err, TreeOutputs& prepared) {
  std::tie(prepared.minVal, prepared.maxVal) = hc.EngineGraphLimits();
  prepared.input = DescribeInput(options, varRange);
  const std::int32_t n = hc.ItemLabels().UBound();
  const bool wantsMembership = !options.clusters.empty() || options.cut;
  if (!HasTree(hc)) {
    const char* what = options.newick ? "--newick" : options.picture ? "--picture" : nullptr;
    if (what != nullptr) return std::string("there is no tree for ") + what + ": the distance/similarity matrix is undefined";
    if (wantsMembership) err << "hcluster: no cluster membership: the distance/similarity matrix is undefined\n";
    return std::nullopt;
  }
  if (!options.clusters.empty() && options.clusters.back() > n) {
    return fmt::format("--clusters {}: the data hold only {} items", options.clusters.back(), n);
  }
  const clsHClusterBO& engine = hc.EngineResults();
  const Schedule& steps = engine.StepMatrixView();
  if (options.cut) prepared.cutClusters = ClustersBelowLevel(steps, n, *options.cut, engine.Difference());
  prepared.memberships = ClusterCuts(steps, n, options.clusters, options.cut, engine.Difference());
  for (const ClusterCut& cut : prepared.memberships) {
    if (!cut.tiedSteps.empty()) err << "hcluster: " << TieNotice(cut) << '\n';
  }
  if (wantsMembership) {
    const std::int32_t shown = prepared.cutClusters ? *prepared.cutClusters : options.clusters.front();
    prepared.colouring = *std::find_if(prepared.memberships.begin(), prepared.memberships.end(),
                                       [&](const ClusterCut& cut) { return cut.k == shown; });
    const double leafLevel = engine.Difference() ? prepared.minVal : prepared.maxVal;
    prepared.pictureCutLevel = options.cut ? options.cut : CutLevelOf(steps, n, shown, leafLevel);
  }
  return std::nullopt;
}

void WriteJsonTo(std::ostream& out, const Options& options, const clsHCluster& hc, const TreeOutputs& prepared) {
  WriteResultsJson(out, hc.EngineResults(), hc.ItemLabels(), prepared.minVal, prepared.maxVal,
                   Additions(options, prepared));
}

void WriteTreeFiles(const Options& options, const clsHCluster& hc, const TreeOutputs& prepared,
                    io::OutputSet& outputs) {
  if (options.json && *options.json != "-") {
    std::ofstream stream(outputs.Add(*options.json, "WriteJson").TempPath(), std::ios::binary | std::ios::trunc);
    WriteJsonTo(stream, options, hc, prepared);
    stream.close();
    if (!stream) throw io::FileError(io::FileErrorKind::kWrite, *options.json, {}, "cannot write the file", "WriteJson");
  }
  if (options.newick) WriteNewickFile(outputs.Add(*options.newick, "WriteNewick"), hc, prepared, options);
  if (options.picture) {
    io::DrawDendrogramPicture(Picture(options, hc, prepared), outputs.Add(*options.picture, "WritePicture").TempPath(),
                              *io::PictureFormatOf(*options.picture));
  }
}

}  // namespace dez::cli
