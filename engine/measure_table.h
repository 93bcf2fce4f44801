// The measures and methods the component knows, one row each, with every fact the layers
// read: the engine (whether a measure gives distances or similarities, its axis limits,
// which builder kernels exist), the controller (the display texts of the report) and the
// command line (names and aliases). Code that needs a fact looks it up here, so adding a
// measure or correcting a fact is a change of one row.
//
//   const MeasureFacts* m = FindMeasure(dezEZuvazozBinomial, dezEZuvazozSMBJaccard);
//   m->distance      // false: a similarity
//   m->limits        // AxisLimits::kZeroToOne
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "dezezuvazoz/enums.h"

namespace dez {

/// Where the level axis of the dendrogram runs for a measure.
enum class AxisLimits {
  kZeroToItemCount,  ///< 0 to the number of items
  kMinusOneToOne,    ///< −1 to 1
  kZeroToOne,        ///< 0 to 1
  kFromLevels,       ///< the range of the merge levels and 0, widened by a tenth
};

/// One measure of one data type.
struct MeasureFacts {
  std::int32_t clusterType;                   ///< dezEZuvazozBinomial or dezEZuvazozMetric
  std::int32_t code;                          ///< the dezEZuvazozSMB / dezEZuvazozSMM value
  bool distance;                              ///< true: distances; false: similarities
  AxisLimits limits;
  std::string_view name;                      ///< the command-line name
  std::array<std::string_view, 2> aliases;    ///< further command-line spellings ("" = none)
  std::string_view displayText;               ///< the measure's text in the report
};

/// One agglomeration method.
struct MethodFacts {
  std::int32_t code;                          ///< the dezEZuvazozMethod value
  std::string_view name;
  std::array<std::string_view, 2> aliases;
  std::string_view displayText;
};

inline constexpr MeasureFacts kMeasures[] = {
    {dezEZuvazozBinomial, dezEZuvazozSMBEuclidean, true, AxisLimits::kZeroToItemCount, "euclidean", {}, "Euclidean Distance"},
    {dezEZuvazozBinomial, dezEZuvazozSMBHamann, false, AxisLimits::kMinusOneToOne, "hamann", {}, "Hamann Similarity"},
    {dezEZuvazozBinomial, dezEZuvazozSMBJaccard, false, AxisLimits::kZeroToOne, "jaccard", {}, "Jaccard Similarity"},
    {dezEZuvazozBinomial, dezEZuvazozSMBKulczynski1, false, AxisLimits::kZeroToItemCount, "kulczynski1", {}, "Kulczynski 1 Similarity"},
    {dezEZuvazozBinomial, dezEZuvazozSMBKulczynski2, false, AxisLimits::kZeroToOne, "kulczynski2", {}, "Kulczynski 2 Similarity"},
    {dezEZuvazozBinomial, dezEZuvazozSMBOchiai, false, AxisLimits::kZeroToOne, "ochiai", {}, "Ochiai Similarity"},
    {dezEZuvazozBinomial, dezEZuvazozSMBPattern, true, AxisLimits::kZeroToOne, "pattern", {}, "Pattern Difference"},
    {dezEZuvazozBinomial, dezEZuvazozSMBPhi, false, AxisLimits::kMinusOneToOne, "phi", {}, "Phi 4-Point Correlation"},
    {dezEZuvazozBinomial, dezEZuvazozSMBRogersTanimoto, false, AxisLimits::kZeroToOne, "rogers-tanimoto", {}, "Rogers-Tanimoto Similarity"},
    {dezEZuvazozBinomial, dezEZuvazozSMBRusselRao, false, AxisLimits::kZeroToOne, "russel-rao", {}, "Russel-Rao Similarity"},
    {dezEZuvazozBinomial, dezEZuvazozSMBSokalMitchener, false, AxisLimits::kZeroToOne, "sokal-michener", {}, "Sokal-Michener Similarity"},
    {dezEZuvazozBinomial, dezEZuvazozSMBSorensenDice, false, AxisLimits::kZeroToOne, "sorensen-dice", {}, "Sorensen-Dice Similarity"},
    {dezEZuvazozBinomial, dezEZuvazozSMBSqrdEuclidean, true, AxisLimits::kZeroToItemCount, "squared-euclidean", {"sqeuclidean"}, "Squared Euclidean Distance"},
    {dezEZuvazozBinomial, dezEZuvazozSMBVariance, true, AxisLimits::kZeroToOne, "variance", {}, "Variance Distance"},
    {dezEZuvazozBinomial, dezEZuvazozSMBYuleQ, false, AxisLimits::kMinusOneToOne, "yule-q", {}, "Yule's Q"},
    {dezEZuvazozMetric, dezEZuvazozSMMBrayCurtis, true, AxisLimits::kFromLevels, "bray-curtis", {}, "Bray-Curtis Distance"},
    {dezEZuvazozMetric, dezEZuvazozSMMCanberra, true, AxisLimits::kFromLevels, "canberra", {}, "Canberra Distance"},
    {dezEZuvazozMetric, dezEZuvazozSMMCityBlock, true, AxisLimits::kFromLevels, "city-block", {"manhattan", "cityblock"}, "City Block Distance"},
    {dezEZuvazozMetric, dezEZuvazozSMMEuclidean, true, AxisLimits::kFromLevels, "euclidean", {}, "Euclidean Distance"},
    {dezEZuvazozMetric, dezEZuvazozSMMMinkowski, true, AxisLimits::kFromLevels, "minkowski", {}, "Minkowski Distance"},
    {dezEZuvazozMetric, dezEZuvazozSMMCorrelation, false, AxisLimits::kMinusOneToOne, "correlation", {}, "Pearson Correlation"},
    {dezEZuvazozMetric, dezEZuvazozSMMSqrdEuclidean, true, AxisLimits::kFromLevels, "squared-euclidean", {"sqeuclidean"}, "Squared Euclidean Distance"},
};

inline constexpr MethodFacts kMethods[] = {
    {dezEZuvazozMethNearestNeigh, "single", {"nearest"}, "Nearest Neighbour"},
    {dezEZuvazozMethFurthestNeigh, "complete", {"furthest"}, "Furthest Neighbour"},
    {dezEZuvazozMethGroupAvg, "average", {"group-average", "upgma"}, "Group Average"},
    {dezEZuvazozMethCentroid, "centroid", {}, "Centroid"},
    {dezEZuvazozMethWards, "ward", {}, "Ward's Method"},
    {dezEZuvazozMethLanceWilliams, "flexible", {"lance-williams"}, "Flexible (Lance-Williams)"},
};

/// The row of `code` for data of `clusterType`, or nullptr (an unknown code, or a type
/// without measure codes: mixed data and the two matrix types).
constexpr const MeasureFacts* FindMeasure(std::int32_t clusterType, std::int32_t code) {
  for (const MeasureFacts& m : kMeasures) {
    if (m.clusterType == clusterType && m.code == code) return &m;
  }
  return nullptr;
}

/// The row of a method code, or nullptr.
constexpr const MethodFacts* FindMethod(std::int32_t code) {
  for (const MethodFacts& m : kMethods) {
    if (m.code == code) return &m;
  }
  return nullptr;
}

/// The display text of mixed data's one measure, the general similarity.
inline constexpr std::string_view kMixedMeasureText = "Gower's General Similarity";

}  // namespace dez
