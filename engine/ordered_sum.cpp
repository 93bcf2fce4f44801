#include "engine/ordered_sum.h"

#include <bit>
#include <cmath>

namespace dez {

namespace {

constexpr std::int64_t kMantissaEnd = std::int64_t{1} << 53;  // M < 2^53 within a binade

/// 2^k as a double, for -1022 <= k <= 1023.
double PowerOfTwo(int k) { return std::bit_cast<double>(static_cast<std::uint64_t>(k + 1023) << 52); }

}  // namespace

OrderedTerms::Binade OrderedTerms::For(int exponent) {
  for (const Binade& b : remembered_) {
    if (b.known && b.exponent == exponent) return b;
  }
  Binade b;
  b.exponent = exponent;
  b.known = true;
  b.whole = true;
  const double scale = PowerOfTwo(52 - exponent);  // t·scale = t/u, exact above the subnormals
  // Invariant: units is the sum of the nearest integers to t/u of the terms so far, and
  // whole says that none of them was halfway or too large to keep the total in the binade.
  for (const double t : terms_) {
    const double q = t * scale;
    if (!(q < static_cast<double>(kMantissaEnd))) {  // also +infinity
      b.whole = false;
      break;
    }
    const double below = std::floor(q);
    if (q - below == 0.5) {  // halfway: the rounding depends on the total
      b.whole = false;
      break;
    }
    b.units += static_cast<std::int64_t>(q - below < 0.5 ? below : below + 1.0);
    if (b.units >= kMantissaEnd) {
      b.whole = false;
      break;
    }
  }
  remembered_[next_] = b;
  next_ = 1 - next_;
  return b;
}

double OrderedTerms::AddTo(double total) {
  // The binade of the total: its exponent e, for normal totals whose spacing u = 2^(e−52)
  // is itself a normal double.
  const auto bits = std::bit_cast<std::uint64_t>(total);
  const int biased = static_cast<int>((bits >> 52) & 0x7FF);
  if (biased > 52 && biased < 0x7FF && !terms_.empty()) {
    const int exponent = biased - 1023;
    const Binade b = For(exponent);
    if (b.whole) {
      const double unit = PowerOfTwo(exponent - 52);
      const auto mantissa = static_cast<std::int64_t>(total / unit);  // exact: M
      if (mantissa + b.units < kMantissaEnd) return static_cast<double>(mantissa + b.units) * unit;  // exact
    }
  }
  // Invariant: total is the rounded sum of the terms before t.
  for (const double t : terms_) total = total + t;
  return total;
}

}  // namespace dez
