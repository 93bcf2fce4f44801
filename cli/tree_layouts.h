// The tree in the layouts of SciPy and R, for --json and --newick.
//
// SciPy's linkage matrix: n - 1 rows [a, b, height, size]; clusters are numbered from 0,
// items 0..n-1 and the cluster made by row i as n + i. Our cluster e (1-based, items
// first, then one per step) is therefore SciPy's e - 1. Each row lists our first cluster
// (the higher-numbered one) as a and the second as b, so that SciPy's dendrogram, which
// draws a left of b, puts the leaves in our item order.
//
// R's hclust: "merge" (n - 1 rows; -j for item j, +s for the cluster of step s), "height"
// and "order" (the items in the order of the root's item list).
//
// Heights are on SciPy's scale where an exact mapping exists (see HeightScale).
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "runtime/schedule.h"

namespace dez::cli {

/// How the schedule's levels become SciPy heights.
enum class HeightScale : std::uint8_t {
  kLevel,                ///< distances of single, complete, average, flexible: the level itself
  kSquareRoot,           ///< centroid on squared distances: sqrt(level), the centroid distance
  kWardIncrease,         ///< Ward's: sqrt(2 (T_s - T_{s-1})), T the total within sum of squares
  kSimilarityComplement  ///< similarities: max_val - level, non-negative and growing up the tree
};

/// The scale for `method` (dezEZuvazozMethod) and the orientation of the levels.
HeightScale HeightScaleOf(std::int32_t method, bool difference);

/// The name of a scale as the JSON writes it: "level", "sqrt_level", "ward_sqrt_2_delta",
/// "max_val_minus_level".
std::string_view HeightScaleName(HeightScale scale);

/// The n - 1 heights of the steps of `steps` (n items) on `scale`; `maxVal` is the
/// engine's upper level limit. Negative values of a square root, which rounding can make
/// of a zero increase, are taken as 0.
std::vector<double> TreeHeights(const Schedule& steps, std::int32_t n, HeightScale scale, double maxVal);

/// One row of SciPy's linkage matrix.
struct LinkageRow {
  std::int32_t a = 0;
  std::int32_t b = 0;
  double height = 0.0;
  std::int32_t size = 0;
};

std::vector<LinkageRow> SciPyLinkage(const Schedule& steps, std::int32_t n, const std::vector<double>& heights);

/// R's merge matrix, row by row.
std::vector<std::array<std::int32_t, 2>> RMerge(const Schedule& steps, std::int32_t n);

}  // namespace dez::cli
