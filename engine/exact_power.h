// pow(d, 2) and pow(s, 0.5) without calling pow, where that provably gives pow's bits.
//
// The metric measures raise each difference to the power e with the runtime's power
// operator, glibc's pow, and the Euclidean distance takes the sum to the power 1/2. For
// e = 2 its result is not always d·d: pow is not correctly
// rounded, and about one value in a thousand comes back one unit in the last place (ulp)
// away from the correctly rounded d·d. But its error is bounded (glibc's pow, since
// version 2.28: at most 0.54 ulp, from its documented error analysis: 0.509 ulp of the
// final exp plus the log's relative error scaled by |y·log x|), and the error of d·d can
// be computed exactly, so d·d can be taken wherever the bound leaves pow no other choice:
//
//   Let y = d² exactly, q = d·d = y rounded to nearest, and δ = y − q. The doubles next to
//   q are q ± u, u = ulp(q), when q is not a power of two (then y lies in q's binade and
//   ulp(y) = u). Any double other than q is at least u − |δ| from y. If |δ| ≤ (7/16)u,
//   that is at least (9/16)u = 0.5625u > 0.54u, so pow, which returns a double within
//   0.54u of y, returns q.
//
// δ is Dekker's exact square error: with d split into halves of 26 bits, hi + lo = d,
// δ = ((hi·hi − q) + 2·hi·lo) + lo·lo, every operation exact while no product overflows or
// loses bits below the normal range; q is therefore kept within [2^-900, 2^900]. Outside
// that range, at powers of two and where |δ| > (7/16)u (about one value in eight), pow is
// called.
//
// The 0.54 ulp is the worst case over all arguments: 0.509 ulp (0.511 without fma) for
// the final exp, which includes its own rounding of 0.5 ulp, plus |y·log x| times the
// log's relative error 1.5·2^-68 (without fma), times 2^53. For y = 2 and d within
// [2^-16, 2^16], |y·log x| ≤ 22.2 and the error before the final rounding is at most
// 0.011 + 0.001 ulp: pow returns the double nearest to y unless y lies within 0.012 ulp
// of a midpoint between two doubles. There d·d is taken up to |δ| ≤ (15/32)u, which
// keeps y at least 1/32 ulp from the midpoint; elsewhere (7/16)u by the general bound.
// About one square in sixteen is left to pow. The tests compare all this with pow over
// millions of values, near the thresholds too.
//
// The root is the same argument with y = √s exactly and q = sqrt(s), which IEEE
// arithmetic rounds correctly: y − q = (s − q²)/(y + q). The residual s − q² is
// (s − P) − E with q·q = P + E split exactly as above, and s − P exact (P lies within a
// factor 2 of s); one rounding in the last subtraction and y + q ≥ 2q(1 − 2^-52) change
// the bound by far less than the margin kept: |s − q²| ≤ 0.87·q·u gives |y − q| < (7/16)u
// and 0.93·q·u gives |y − q| < (15/32)u, for q within [2^-16, 2^16] (|0.5·log s| ≤ 22.2).
#pragma once

#include <bit>
#include <cmath>
#include <cstdint>

namespace dez {

/// True when d·d (`square`, computed by the caller) is what pow(d, 2) returns, by the
/// argument above. `d` is a finite value >= 0. Without branches and with no integer
/// comparison, so that loops over it vectorise with the baseline instruction set.
///
/// kFusedError: d² − square by one fused multiply-add instead of Dekker's six operations.
/// Both are exact wherever the answer can be true (square within [2^-900, 2^900]), so the
/// answer is the same bit; only for callers compiled for processors with FMA, where
/// std::fma is one instruction. No result is fused: the error only decides.
template <bool kFusedError = false>
inline bool SquareIsPow(double d, double square) {
  constexpr double kLow = 0x1p-900;                      // the range of the general bound
  constexpr double kHigh = 0x1p900;
  constexpr double kNearLow = 0x1p-32;                   // squares of d in [2^-16, 2^16]
  constexpr double kNearHigh = 0x1p32;
  constexpr double kGeneral = 7.0 * 0x1p-56;             // (7/16) ulp per unit of 2^exponent
  constexpr double kNear = 15.0 * 0x1p-57;               // (15/32) ulp
  constexpr std::uint64_t kExponent = 0x7FF0000000000000u;
  double error;  // d² − square, exactly
  if constexpr (kFusedError) {
    error = std::fma(d, d, -square);
  } else {
    constexpr double kSplit = 134217729.0;  // 2^27 + 1: Veltkamp's splitter
    const double c = kSplit * d;
    const double hi = c - (c - d);
    const double lo = d - hi;
    error = ((hi * hi - square) + 2.0 * hi * lo) + lo * lo;
  }
  const double binade = std::bit_cast<double>(std::bit_cast<std::uint64_t>(square) & kExponent);  // 2^exponent
  const double limit = (square >= kNearLow) & (square <= kNearHigh) ? kNear : kGeneral;
  return (square >= kLow) & (square <= kHigh) & (square != binade) & (std::fabs(error) <= limit * binade);
}

/// True when sqrt(s) (`root`, computed by the caller) is what pow(s, 0.5) returns, by the
/// argument above. `s` is a finite value >= 0.
inline bool RootIsPow(double s, double root) {
  constexpr double kSplit = 134217729.0;
  constexpr double kLow = 0x1p-400;                      // the range of the general bound
  constexpr double kHigh = 0x1p400;
  constexpr double kNearLow = 0x1p-16;                   // roots of s in [2^-32, 2^32]
  constexpr double kNearHigh = 0x1p16;
  constexpr double kGeneral = 0.87 * 0x1p-52;            // |y − q| < (7/16) u
  constexpr double kNear = 0.93 * 0x1p-52;               // |y − q| < (15/32) u
  constexpr std::uint64_t kExponent = 0x7FF0000000000000u;
  const double product = root * root;
  const double c = kSplit * root;
  const double hi = c - (c - root);
  const double lo = root - hi;
  const double error = ((hi * hi - product) + 2.0 * hi * lo) + lo * lo;  // root² − product, exactly
  const double residual = (s - product) - error;                         // s − root², one rounding
  const double binade = std::bit_cast<double>(std::bit_cast<std::uint64_t>(root) & kExponent);
  const double limit = (root >= kNearLow) & (root <= kNearHigh) ? kNear : kGeneral;
  return (root >= kLow) & (root <= kHigh) & (root != binade) & (std::fabs(residual) <= limit * (root * binade));
}

/// `x`, hidden from the optimiser. pow(d, 2.0) with an exponent the compiler can see is
/// replaced by d·d, which is not pow; pow(d, Opaque(2.0)) stays a call of pow.
inline double Opaque(double x) {
  volatile double hidden = x;
  return hidden;
}

/// pow(d, 2) for a finite d >= 0, bit for bit.
inline double PowTwo(double d) {
  const double square = d * d;
  return SquareIsPow(d, square) ? square : std::pow(d, Opaque(2.0));
}

/// pow(s, 0.5) for a finite s >= 0, bit for bit.
inline double PowHalf(double s) {
  const double root = std::sqrt(s);
  return RootIsPow(s, root) ? root : std::pow(s, Opaque(0.5));
}

}  // namespace dez
