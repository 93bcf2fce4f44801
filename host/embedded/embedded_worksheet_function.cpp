#include "host/embedded/embedded_worksheet_function.h"

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "host/embedded/embedded_range.h"
#include "host/embedded/embedded_worksheet.h"
#include "host/embedded/host_error.h"
#include "host/embedded/student_t.h"
#include "runtime/error.h"

namespace dez::embedded {

namespace {

constexpr std::string_view kObject = "WorksheetFunction";

[[noreturn]] void RaiseFunctionError(std::string_view function, const std::string& why, host::Loc where) {
  RaiseHostError(kObject, "Unable to get the " + std::string(function) + " property of the WorksheetFunction class (" +
                              why + ")",
                 where);
}

const host::Range& Require(const host::RangePtr& range, std::string_view function, host::Loc where) {
  if (!range) Raise(fault::kObjectNotSet, std::string(kObject), std::string(function) + " needs a range", where);
  return *range;
}

// Calls f(value) for every non-empty cell of every area of `range`, and returns the
// number of cells the areas span.
template <class F>
std::int64_t ForEachValue(const host::Range& range, F&& f, host::Loc where) {
  if (const auto* embedded = dynamic_cast<const EmbeddedRange*>(&range)) {
    std::int64_t cells = 0;
    for (const CellBlock& area : embedded->Areas()) {
      cells += area.CellCount();
      embedded->Sheet()->Store().ForEachIn(area, [&](std::int32_t, const Cell& c) {
        if (!c.value.IsEmpty()) f(c.value);
      });
    }
    return cells;
  }
  const VariantMatrix values = range.Value(where);
  for (std::int32_t r = 1; r <= values.rows(); ++r) {
    for (const Variant& v : values.Row(r)) {
      if (!v.IsEmpty()) f(v);
    }
  }
  return std::int64_t{values.rows()} * values.cols();
}

}  // namespace

double EmbeddedWorksheetFunction::CountIf(const host::RangePtr& range, const Variant& criterion, host::Loc where) {
  const host::Range& r = Require(range, "CountIf", where);
  if (r.AreasCount() > 1) RaiseFunctionError("CountIf", "#VALUE!: the range has several areas", where);
  if (!criterion.IsNumber()) RaiseFunctionError("CountIf", "#VALUE!: the criterion is not a number", where);
  const double n = criterion.number();
  std::int64_t counted = 0;
  ForEachValue(
      r,
      [&](const Variant& v) {
        if (v.IsNumber() ? v.number() == n : v.IsText() && ParseNumber(v.text()) == n) ++counted;
      },
      where);
  return static_cast<double>(counted);
}

double EmbeddedWorksheetFunction::Count(const host::RangePtr& range, host::Loc where) {
  std::int64_t counted = 0;
  ForEachValue(Require(range, "Count", where), [&](const Variant& v) { counted += v.IsNumber() ? 1 : 0; }, where);
  return static_cast<double>(counted);
}

double EmbeddedWorksheetFunction::CountA(const host::RangePtr& range, host::Loc where) {
  std::int64_t counted = 0;
  ForEachValue(Require(range, "CountA", where), [&](const Variant&) { ++counted; }, where);
  return static_cast<double>(counted);
}

double EmbeddedWorksheetFunction::Var(const host::RangePtr& range, host::Loc where) {
  std::vector<double> numbers;
  bool hasError = false;
  CellError firstError{};
  ForEachValue(
      Require(range, "Var", where),
      [&](const Variant& v) {
        if (v.IsNumber()) numbers.push_back(v.number());
        if (v.IsError() && !hasError) {
          hasError = true;
          firstError = v.error();
        }
      },
      where);
  if (hasError) RaiseFunctionError("Var", std::string(CellErrorText(firstError)) + ": a cell holds an error value", where);
  const std::size_t n = numbers.size();
  if (n < 2) RaiseFunctionError("Var", "#DIV/0!: fewer than two numbers", where);
  // Corrected two-pass algorithm on values shifted by the first one: equal values give
  // exactly 0, and the shift keeps large offsets from swamping the deviations.
  const double shift = numbers.front();
  double sum = 0.0;
  for (double x : numbers) sum += x - shift;
  const double mean = sum / static_cast<double>(n);
  double squares = 0.0;
  double residual = 0.0;
  for (double x : numbers) {
    const double d = (x - shift) - mean;
    squares += d * d;
    residual += d;
  }
  const double variance = (squares - residual * residual / static_cast<double>(n)) / static_cast<double>(n - 1);
  if (!std::isfinite(variance)) RaiseFunctionError("Var", "#NUM!: the variance exceeds the range of numbers", where);
  return variance < 0.0 ? 0.0 : variance;
}

double EmbeddedWorksheetFunction::TDist(double x, std::int32_t degreesFreedom, std::int16_t tails, host::Loc where) {
  return StudentTDist(x, degreesFreedom, tails, where);
}

}  // namespace dez::embedded
