// Checked floating point.
//
// The component's arithmetic never produces an infinity or a NaN: a result that would be
// one raises an error instead. Plain `double` arithmetic is used inside an expression
// (IEEE results are exact to the bit, and -ffp-contract=off keeps every rounding), and a
// statement's result is checked where it is stored:
//
//   x = Fin(ac * d1 + ar * d2);    // overflow or invalid operation -> error 6
//   y = Div(a, b);                 // b == 0 -> error 11 (0/0 -> error 6)
//   z = Sqrt(v);                   // v < 0 -> error 5
//
// Each function records the caller's source line for the error trap.
#pragma once

#include <cmath>
#include <source_location>

#include "runtime/error.h"

namespace dez {

/// Returns `x`, or raises overflow (6) when it is infinite or NaN.
inline double Fin(double x, std::source_location where = std::source_location::current()) {
  if (!std::isfinite(x)) Raise(fault::kOverflow, {}, {}, where);
  return x;
}

/// a / b with the runtime's faults: x/0 is division by zero (11), 0/0 and an infinite
/// quotient are overflow (6).
inline double Div(double a, double b, std::source_location where = std::source_location::current()) {
  if (b == 0.0) Raise(a == 0.0 || std::isnan(a) ? fault::kOverflow : fault::kDivisionByZero, {}, {}, where);
  return Fin(a / b, where);
}

/// Square root; a negative argument is an invalid procedure call (5).
inline double Sqrt(double x, std::source_location where = std::source_location::current()) {
  if (std::isnan(x) || x < 0.0) Raise(fault::kInvalidCall, {}, {}, where);
  return Fin(std::sqrt(x), where);
}

/// The power operator: a negative base with a fractional exponent, or 0 raised to a
/// negative power, is an invalid procedure call (5); an infinite result is overflow (6).
inline double Pow(double base, double exponent,
                  std::source_location where = std::source_location::current()) {
  if (base < 0.0 && std::trunc(exponent) != exponent) Raise(fault::kInvalidCall, {}, {}, where);
  if (base == 0.0 && exponent < 0.0) Raise(fault::kInvalidCall, {}, {}, where);
  return Fin(std::pow(base, exponent), where);
}

/// The largest whole number not above x (the runtime's Int), checked.
inline double Int(double x, std::source_location where = std::source_location::current()) {
  return Fin(std::floor(Fin(x, where)), where);
}

}  // namespace dez
