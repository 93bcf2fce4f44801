#include "cli/standardization.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace dez::cli {

namespace {

struct MethodRow {
  Standardization method;
  std::string_view name;
  std::string_view description;
};

constexpr std::array<MethodRow, 7> kMethods{{
    {Standardization::kNone, "none", "none"},
    {Standardization::kZ, "z", "z-scores"},
    {Standardization::kRange, "range", "range 0 to 1"},
    {Standardization::kRangeMinus1To1, "range-1-1", "range -1 to 1"},
    {Standardization::kMaxMagnitude1, "max-1", "maximum magnitude 1"},
    {Standardization::kMean1, "mean-1", "mean 1"},
    {Standardization::kSd1, "sd-1", "standard deviation 1"},
}};

double Mean(std::span<const double> values) {
  double sum = 0.0;
  for (const double v : values) sum += v;
  return sum / static_cast<double>(values.size());
}

double SampleSd(std::span<const double> values, double mean) {
  double squares = 0.0;
  for (const double v : values) squares += (v - mean) * (v - mean);
  return std::sqrt(squares / static_cast<double>(values.size() - 1));
}

}  // namespace

std::optional<Standardization> StandardizationNamed(std::string_view name) {
  for (const MethodRow& row : kMethods) {
    if (row.name == name) return row.method;
  }
  return std::nullopt;
}

std::string_view StandardizationName(Standardization method) {
  return kMethods[static_cast<std::size_t>(method)].name;
}

std::string_view StandardizationDescription(Standardization method) {
  return kMethods[static_cast<std::size_t>(method)].description;
}

std::optional<std::vector<double>> Standardize(std::span<const double> values, Standardization method) {
  std::vector<double> out(values.begin(), values.end());
  if (method == Standardization::kNone) return out;
  if (values.size() < 2) return std::nullopt;
  const auto [low, high] = std::minmax_element(values.begin(), values.end());
  const double min = *low;
  const double max = *high;
  if (!(max > min)) return std::nullopt;  // no variation
  const double mean = Mean(values);
  double shift = 0.0;
  double scale = 1.0;
  switch (method) {
    case Standardization::kNone: break;
    case Standardization::kZ:
      shift = mean;
      scale = SampleSd(values, mean);
      break;
    case Standardization::kRange:
    case Standardization::kRangeMinus1To1:
      shift = min;
      scale = max - min;
      break;
    case Standardization::kMaxMagnitude1: scale = std::max(std::fabs(min), std::fabs(max)); break;
    case Standardization::kMean1: scale = mean; break;
    case Standardization::kSd1: scale = SampleSd(values, mean); break;
  }
  if (scale == 0.0 || !std::isfinite(scale)) return std::nullopt;
  for (double& v : out) {
    v = (v - shift) / scale;
    if (method == Standardization::kRangeMinus1To1) v = 2.0 * v - 1.0;
  }
  return out;
}

}  // namespace dez::cli
