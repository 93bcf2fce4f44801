#include "cli/tree_layouts.h"

#include <algorithm>
#include <cmath>

#include "dezezuvazoz/enums.h"

namespace dez::cli {

HeightScale HeightScaleOf(std::int32_t method, bool difference) {
  // Ward's level is the total within sum of squares whatever the data type.
  if (method == dezEZuvazozMethWards) return HeightScale::kWardIncrease;
  if (!difference) return HeightScale::kSimilarityComplement;
  if (method == dezEZuvazozMethCentroid) return HeightScale::kSquareRoot;
  return HeightScale::kLevel;
}

std::string_view HeightScaleName(HeightScale scale) {
  switch (scale) {
    case HeightScale::kLevel: return "level";
    case HeightScale::kSquareRoot: return "sqrt_level";
    case HeightScale::kWardIncrease: return "ward_sqrt_2_delta";
    case HeightScale::kSimilarityComplement: return "max_val_minus_level";
  }
  return "level";
}

std::vector<double> TreeHeights(const Schedule& steps, std::int32_t n, HeightScale scale, double maxVal) {
  std::vector<double> heights;
  heights.reserve(static_cast<std::size_t>(std::max(n - 1, 0)));
  double previous = 0.0;  // Ward's total before the step: 0 for n single items
  for (std::int32_t step = 1; step <= n - 1; ++step) {
    const double level = steps[n + step].level;
    switch (scale) {
      case HeightScale::kLevel: heights.push_back(level); break;
      case HeightScale::kSquareRoot: heights.push_back(std::sqrt(std::max(level, 0.0))); break;
      case HeightScale::kWardIncrease: heights.push_back(std::sqrt(std::max(2.0 * (level - previous), 0.0))); break;
      case HeightScale::kSimilarityComplement: heights.push_back(maxVal - level); break;
    }
    previous = level;
  }
  return heights;
}

std::vector<LinkageRow> SciPyLinkage(const Schedule& steps, std::int32_t n, const std::vector<double>& heights) {
  std::vector<LinkageRow> rows;
  rows.reserve(heights.size());
  for (std::int32_t step = 1; step <= n - 1; ++step) {
    const ScheduleEntry& entry = steps[n + step];
    rows.push_back({entry.first - 1, entry.second - 1, heights[static_cast<std::size_t>(step - 1)], entry.size()});
  }
  return rows;
}

std::vector<std::array<std::int32_t, 2>> RMerge(const Schedule& steps, std::int32_t n) {
  const auto rCluster = [n](std::int32_t e) { return e <= n ? -e : e - n; };
  std::vector<std::array<std::int32_t, 2>> merge;
  merge.reserve(static_cast<std::size_t>(std::max(n - 1, 0)));
  for (std::int32_t step = 1; step <= n - 1; ++step) {
    const ScheduleEntry& entry = steps[n + step];
    merge.push_back({rCluster(entry.first), rCluster(entry.second)});
  }
  return merge;
}

}  // namespace dez::cli
