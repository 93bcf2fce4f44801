// The outputs built on the tree, beside the report: cluster membership (--clusters,
// --cut), the JSON (--json), the Newick file (--newick) and the picture (--picture).
//
// Run() calls PrepareTreeOutputs after the analysis, before anything is written: it reads
// the engine's dendrogram limits (which lays the tree out), cuts the memberships, prints
// the notices of solutions that are not unique, and finds the problems that only the
// data reveal (more clusters than items, no tree to draw). WriteTreeOutputs then writes
// the files into the run's OutputSet, which puts all outputs in place together.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/json_results.h"
#include "report/cluster_membership.h"
#include "cli/options.h"
#include "controller/clsHCluster.h"
#include "io/output_set.h"

namespace dez::cli {

struct TreeOutputs {
  double minVal = 0.0;
  double maxVal = 0.0;
  std::vector<ClusterCut> memberships;  ///< by ascending k, --clusters and the k of --cut
  std::optional<std::int32_t> cutClusters;
  std::optional<ClusterCut> colouring;  ///< the clustering the picture shows
  std::optional<double> pictureCutLevel;
  InputDescription input;
  std::string dataMembers;  ///< the data's own JSON members (cli/data_json.h)
};

/// True when `options` ask for anything of this file.
bool WantsTreeOutputs(const Options& options);

/// Prepares `prepared` from the analysis of `hc` on `varRange`; notices go to `err`.
/// Returns the message of a problem that ends the run with exit status 2, or nothing.
/// An error of the engine's layout passes on.
std::optional<std::string> PrepareTreeOutputs(const Options& options, clsHCluster& hc, const std::string& varRange,
                                              std::ostream& err, TreeOutputs& prepared);

/// Writes the JSON to `out` (--json -).
void WriteJsonTo(std::ostream& out, const Options& options, const clsHCluster& hc, const TreeOutputs& prepared);

/// Writes the --json file, the --newick file and the --picture as outputs of `outputs`,
/// which puts them in place with the run's other outputs; raises FileError kWrite when
/// one cannot be written.
void WriteTreeFiles(const Options& options, const clsHCluster& hc, const TreeOutputs& prepared,
                    io::OutputSet& outputs);

}  // namespace dez::cli
