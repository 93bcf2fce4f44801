// Standardisation of metric variables before the analysis, one variable (column) at a
// time, as statistics packages offer it for variables on different scales.
//
//   z          (x - mean) / sample standard deviation
//   range      (x - min) / (max - min), 0 to 1
//   range-1-1  2 (x - min) / (max - min) - 1, -1 to 1
//   max-1      x / max |x|, largest magnitude 1
//   mean-1     x / mean, mean 1
//   sd-1       x / sample standard deviation, standard deviation 1
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace dez::cli {

enum class Standardization { kNone, kZ, kRange, kRangeMinus1To1, kMaxMagnitude1, kMean1, kSd1 };

/// The method named `name` on the command line (none z range range-1-1 max-1 mean-1 sd-1).
std::optional<Standardization> StandardizationNamed(std::string_view name);

/// The command-line name of `method`.
std::string_view StandardizationName(Standardization method);

/// What the report header says of `method`, e.g. "z-scores".
std::string_view StandardizationDescription(Standardization method);

/// `values` standardised by `method`, or nothing when the method cannot apply: a variable
/// without variation (equal values, or for mean-1 and max-1 a mean or magnitude of 0).
std::optional<std::vector<double>> Standardize(std::span<const double> values, Standardization method);

}  // namespace dez::cli
