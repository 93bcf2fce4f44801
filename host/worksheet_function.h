// The host's worksheet functions that the component calls.
#pragma once

#include <cstdint>

#include "host/forward.h"
#include "runtime/variant.h"

namespace dez::host {

class WorksheetFunction {
 public:
  virtual ~WorksheetFunction() = default;
  /// Number of cells of `range` equal to `criterion` (a number matches numbers and
  /// number texts of equal value; a text matches without regard to letter case).
  virtual double CountIf(const RangePtr& range, const Variant& criterion, Loc where = Loc::current()) = 0;
  /// Number of cells holding a number.
  virtual double Count(const RangePtr& range, Loc where = Loc::current()) = 0;
  /// Number of non-empty cells.
  virtual double CountA(const RangePtr& range, Loc where = Loc::current()) = 0;
  /// Sample variance of the numeric cells; fewer than two numbers is a host error.
  virtual double Var(const RangePtr& range, Loc where = Loc::current()) = 0;
  /// Student's t probability: one-tailed (tails = 1) or two-tailed (tails = 2) at x >= 0.
  virtual double TDist(double x, std::int32_t degreesFreedom, std::int16_t tails, Loc where = Loc::current()) = 0;
};

}  // namespace dez::host
