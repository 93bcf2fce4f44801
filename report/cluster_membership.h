// Flat clusterings cut from the agglomeration schedule: the report's "Cluster Membership"
// table and hcluster's --clusters and --cut.
//
//   ClusterCut cut = CutIntoClusters(engine.StepMatrixView(), n, 3);
//   cut.clusterOfItem[i - 1]      // 1..3: the cluster of item i
//   if (!cut.tiedSteps.empty()) ...  // the 3-cluster solution is not unique
//
// The k-cluster solution is the partition after the first n - k merges of the schedule.
// Clusters are numbered 1..k in the order of their first item in the data: item 1 is
// always in cluster 1, the first item outside cluster 1 is in cluster 2, and so on (the
// numbering of R's cutree).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/schedule.h"

namespace dez {

/// One flat clustering.
struct ClusterCut {
  std::int32_t k = 0;                       ///< number of clusters
  std::vector<std::int32_t> clusterOfItem;  ///< index i - 1: cluster 1..k of item i
  /// When the merges on either side of the cut join at one and the same level (equal to
  /// 12 significant digits), the steps
  /// (1-based, in schedule order) of that run of equal levels: another order of those
  /// tied merges would give another k-cluster solution. Empty when the solution is unique.
  std::vector<std::int32_t> tiedSteps;
  double tieLevel = 0.0;                    ///< the level shared by tiedSteps
};

/// The k-cluster solution of `steps`, a schedule over `n` items (1 <= k <= n).
ClusterCut CutIntoClusters(const Schedule& steps, std::int32_t n, std::int32_t k);

/// The number of clusters formed below `level`: n minus the number of leading merges whose
/// level is below `level` (above it when `difference` is false, for similarities). The
/// count stops at the first merge at or beyond the level, so that the result is always a
/// partition of the schedule, also where a centroid tree has a merge lower than an
/// earlier one.
std::int32_t ClustersBelowLevel(const Schedule& steps, std::int32_t n, double level, bool difference);

/// The cuts asked for: one per number of clusters in `counts` that is at most n, and one
/// for the clusters below `cutLevel` (ClustersBelowLevel) when given and not among them;
/// in ascending order of k.
std::vector<ClusterCut> ClusterCuts(const Schedule& steps, std::int32_t n, const std::vector<std::int32_t>& counts,
                                    std::optional<double> cutLevel, bool difference);

/// The notice for a solution that is not unique, e.g. "the 3-cluster solution is not
/// unique: steps 6, 7 and 8 join at the same level 0.5".
std::string TieNotice(const ClusterCut& cut);

/// The numbers of clusters of a --clusters list: "3", "2-6", "2,4,8" or a mix ("2-4,8"),
/// ascending and without repeats; nothing when the text is not such a list or names 0.
std::optional<std::vector<std::int32_t>> ParseClusterList(std::string_view text);

}  // namespace dez
