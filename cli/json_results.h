// The engine's results as JSON, for --json; the schema is docs/json.md.
//
//   {"input": {"file": "iris.csv", "range": "'iris'!$A$1:$E$31", "type": "metric", ...},
//    "labels": ["a", "b"], "difference": true, "undefined": false,
//    "distance_matrix": [[0, 1.5], [1.5, 0]],
//    "schedule": [{"entry": 1, "first": 1, "second": 0, "items": [1], "level": 0, "position": 1}, ...],
//    "min_val": 0, "max_val": 1.6500000000000001,
//    "cophenetic": {"r": 1, "df": -1, "p": null},
//    "membership": {"2": [1, 2]}, "cut": null,
//    "height_scale": "level", "linkage": [[1, 0, 1.5, 2]],
//    "merge": [[-2, -1]], "height": [1.5], "order": [2, 1]}
//
// The document is written to the stream as it is produced, row by row: the matrix of
// 16,384 items is about 5 GB of text and is never held in memory. Numbers are written
// with 17 significant digits ("%.17g"), so each reads back to the same double.
// "distance_matrix" and "schedule" are the engine's as it holds them: [] when the engine
// built none (an undefined matrix); "distance_matrix" is null with --no-matrix. The
// schedule is written as it stands after the dendrogram layout: the caller reads MinVal
// and MaxVal first, which lays the tree out (positions, and the leaves' levels). "p" is
// null when the engine never computed it: for an undefined matrix, and when the
// correlation, rounded to 15 significant digits, is not below 1 (the engine then makes no
// test). hcluster runs one analysis on a fresh engine, so no earlier analysis can have
// left a value behind.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "report/cluster_membership.h"
#include "engine/clsHClusterBO.h"
#include "runtime/array2d.h"

namespace dez::cli {

/// What the analysis was run on, as the "input" object says it. Optional members are
/// written as null when they do not apply (no measure for mixed or matrix input, no power
/// but for Minkowski) or when the command line has no option for them.
struct InputDescription {
  std::string file;
  std::string range;                      ///< the variables range as resolved
  std::string type;                       ///< binomial, metric, mixed, distance, similarity
  std::optional<std::string> measure;     ///< command-line name of the measure used (after substitution)
  std::optional<std::string> measureText; ///< its display text
  std::string method;                     ///< command-line name: single ... flexible
  std::string methodText;
  std::optional<std::int32_t> power;      ///< the Minkowski exponent
  std::optional<std::string> standardization;        ///< the standardisation applied to metric data
  std::optional<std::vector<std::string>> variables; ///< variable names, from a header row
  bool labels = false;                    ///< the first column held the item labels
};

/// The parts of the document beyond the engine's own results.
struct JsonAdditions {
  const InputDescription* input = nullptr;
  bool writeMatrix = true;                   ///< false: "distance_matrix" is null (--no-matrix)
  const std::vector<ClusterCut>* memberships = nullptr;  ///< by ascending k
  std::optional<double> cutLevel;            ///< --cut LEVEL
  std::optional<std::int32_t> cutClusters;   ///< the k it gave
  std::int32_t method = 0;                   ///< dezEZuvazozMethod, for the height scale
  std::string dataMembers;                   ///< "variables", "dropped", "standardisation" (cli/data_json.h)
};

/// Writes the results of `engine`, whose limits `minVal` and `maxVal` the caller has
/// read, with the report's item labels. Ends with a line break.
void WriteResultsJson(std::ostream& out, const clsHClusterBO& engine, const StringArray& labels, double minVal,
                      double maxVal, const JsonAdditions& additions);

/// A number with 17 significant digits; null for a value that is not finite.
std::string JsonNumber(double value);

/// A JSON string literal of UTF-8 text: quotes, backslashes and control characters escaped.
std::string JsonString(const std::string& text);

/// True when the engine computed the probability of its last correlation test.
bool CopheneticPComputed(const clsHClusterBO& engine);

}  // namespace dez::cli
