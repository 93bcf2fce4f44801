// The values hcluster accepts for --type, --measure and --method: one table per
// enumeration, each row a code of include/dezezuvazoz/enums.h with its command-line name,
// its other accepted spellings and the display text that the report shows. The measure
// and method rows are those of the engine's table (engine/measure_table.h).
//
//   const Choice* method = FindChoice(MethodChoices(), "group-average");   // code 3
//   method->displayText                                                    // "Group Average"
//
// Names compare without regard to the case of ASCII letters; the decimal code of a row
// ("3") is accepted as well.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/measure_table.h"

namespace dez::cli {

/// One accepted value of an option.
struct Choice {
  std::int32_t code;                         ///< the enumeration value handed to clsHCluster
  std::string_view name;                     ///< the name shown in help and messages
  std::vector<std::string_view> aliases;     ///< further accepted spellings
  std::string_view displayText;              ///< MeasureText / MethodText of the report
};

/// dezEZuvazozType: binomial metric mixed distance similarity (codes 0..4).
std::span<const Choice> TypeChoices();
/// dezEZuvazozSMB: the 15 measures of binomial data (codes 1..15).
std::span<const Choice> BinomialMeasureChoices();
/// dezEZuvazozSMM: the 7 measures of metric data (codes 1..7).
std::span<const Choice> MetricMeasureChoices();
/// dezEZuvazozMethod: single complete average centroid ward flexible (codes 1..6).
std::span<const Choice> MethodChoices();

/// The measures of a data type: the binomial or the metric table, or an empty span for
/// the types that take no measure (mixed data and the two matrix types).
std::span<const Choice> MeasureChoicesFor(std::int32_t clusterType);

/// The row whose name, alias or decimal code is `text` (letter case ignored), or nullptr.
const Choice* FindChoice(std::span<const Choice> table, std::string_view text);

/// The row of `code`, or nullptr.
const Choice* ChoiceOfCode(std::span<const Choice> table, std::int32_t code);

/// "a, b, c" of the names in table order, followed, when any row has aliases, by
/// " (also x, y, codes 1..n)"; the codes part names the range of the table's codes.
std::string DescribeChoices(std::span<const Choice> table);

/// The display text of mixed data's one measure, the general similarity.
inline constexpr std::string_view kMixedMeasureText = dez::kMixedMeasureText;

}  // namespace dez::cli
