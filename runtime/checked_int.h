// Checked signed integers of 16 and 32 bits.
//
// The component's counts, item numbers and loop counters are 16-bit or 32-bit signed
// integers whose every operation raises the overflow error (6) on leaving the range,
// never wraps. `Checked<T>` holds such a value; + - * and the conversions check.
#pragma once

#include <cmath>
#include <compare>
#include <concepts>
#include <cstdint>
#include <limits>
#include <source_location>

#include "runtime/error.h"

namespace dez {

template <class Rep>
class Checked {
 public:
  using rep = Rep;
  static constexpr std::int64_t kMin = std::numeric_limits<Rep>::min();
  static constexpr std::int64_t kMax = std::numeric_limits<Rep>::max();

  constexpr Checked() = default;
  // Implicit from the representation itself and from narrower integers: cannot overflow.
  template <std::integral I>
    requires(sizeof(I) <= sizeof(Rep) && std::is_signed_v<I>)
  constexpr Checked(I v) : v_(static_cast<Rep>(v)) {}  // NOLINT(google-explicit-constructor)
  template <class Other>
    requires(sizeof(Other) < sizeof(Rep))
  constexpr Checked(Checked<Other> v) : v_(v.get()) {}  // NOLINT(google-explicit-constructor)

  /// Converts a wider integer, raising overflow outside the range.
  static Checked From(std::int64_t v, std::source_location where = std::source_location::current()) {
    if (v < kMin || v > kMax) Raise(fault::kOverflow, {}, {}, where);
    Checked c;
    c.v_ = static_cast<Rep>(v);
    return c;
  }

  constexpr Rep get() const { return v_; }
  constexpr explicit operator Rep() const { return v_; }
  constexpr operator double() const { return v_; }  // NOLINT(google-explicit-constructor)

  friend Checked operator+(Checked a, Checked b) { return From(std::int64_t{a.v_} + b.v_); }
  friend Checked operator-(Checked a, Checked b) { return From(std::int64_t{a.v_} - b.v_); }
  friend Checked operator*(Checked a, Checked b) { return From(std::int64_t{a.v_} * b.v_); }
  friend Checked operator-(Checked a) { return From(-std::int64_t{a.v_}); }
  Checked& operator+=(Checked b) { return *this = *this + b; }
  Checked& operator-=(Checked b) { return *this = *this - b; }
  Checked& operator*=(Checked b) { return *this = *this * b; }
  Checked& operator++() { return *this = *this + Checked(Rep{1}); }
  Checked& operator--() { return *this = *this - Checked(Rep{1}); }

  friend constexpr bool operator==(Checked a, Checked b) { return a.v_ == b.v_; }
  friend constexpr auto operator<=>(Checked a, Checked b) { return a.v_ <=> b.v_; }

 private:
  Rep v_ = 0;
};

using Int16 = Checked<std::int16_t>;  ///< the runtime's Integer
using Int32 = Checked<std::int32_t>;  ///< the runtime's Long

/// Converts a whole number to 16 bits, raising overflow outside -32768..32767.
inline Int16 CInt(std::int64_t v, std::source_location where = std::source_location::current()) {
  return Int16::From(v, where);
}
/// Converts a whole number to 32 bits, raising overflow outside the range.
inline Int32 CLng(std::int64_t v, std::source_location where = std::source_location::current()) {
  return Int32::From(v, where);
}

/// Rounds a double half to even and converts it, as the runtime's CInt/CLng do.
template <class Rep>
Checked<Rep> RoundToChecked(double v, std::source_location where = std::source_location::current()) {
  if (!std::isfinite(v)) Raise(fault::kOverflow, {}, {}, where);
  const double r = std::nearbyint(v);  // default rounding mode: half to even
  if (r < static_cast<double>(Checked<Rep>::kMin) || r > static_cast<double>(Checked<Rep>::kMax)) {
    Raise(fault::kOverflow, {}, {}, where);
  }
  return Checked<Rep>::From(static_cast<std::int64_t>(r), where);
}

}  // namespace dez
