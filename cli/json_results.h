// The engine's results as JSON, for --json.
//
//   {"labels": ["a", "b"], "difference": true, "undefined": false,
//    "distance_matrix": [[0, 1.5], [1.5, 0]],
//    "schedule": [{"entry": 1, "first": 1, "second": 0, "items": [1], "level": 0, "position": 1}, ...],
//    "min_val": 0, "max_val": 1.6500000000000001,
//    "cophenetic": {"r": 1, "df": -1, "p": null}}
//
// Numbers are written with 17 significant digits ("%.17g"), so each reads back to the same
// double. "distance_matrix" and "schedule" are the engine's as it holds them: [] when the
// engine built none (an undefined matrix). The schedule is written as it stands after the
// dendrogram layout: the caller reads MinVal and MaxVal first, which lays the tree out
// (positions, and the leaves' levels). "p" is null when the engine never computed it:
// for an undefined matrix, and when the correlation, rounded to 15 significant digits,
// is not below 1 (the engine then makes no test). hcluster runs one analysis on a fresh
// engine, so no earlier analysis can have left a value behind.
#pragma once

#include <string>

#include "engine/clsHClusterBO.h"
#include "runtime/array2d.h"

namespace dez::cli {

/// The results of `engine`, whose limits `minVal` and `maxVal` the caller has read, with
/// the report's item labels. Ends with a line break.
std::string ResultsJson(const clsHClusterBO& engine, const StringArray& labels, double minVal, double maxVal);

/// A number with 17 significant digits; null for a value that is not finite.
std::string JsonNumber(double value);

/// A JSON string literal of UTF-8 text: quotes, backslashes and control characters escaped.
std::string JsonString(const std::string& text);

/// True when the engine computed the probability of its last correlation test.
bool CopheneticPComputed(const clsHClusterBO& engine);

}  // namespace dez::cli
