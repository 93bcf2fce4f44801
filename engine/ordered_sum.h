// A fixed sequence of non-negative terms added to a running total one after another,
// bit for bit, mostly without the additions.
//
// Ward's level is a running total over many clusters' terms in a fixed order; after a
// join, the clusters that follow the new one in that order add their unchanged terms to
// a new running total. Addition rounds, so the terms cannot be summed ahead; but inside
// one binade the rounding does not depend on the total:
//
//   Let T = M·u with u = 2^(e−52) the spacing of the doubles in [2^e, 2^(e+1)) and M an
//   integer, 2^52 ≤ M < 2^53, and t ≥ 0 with q = t/u. While T + t stays below 2^(e+1),
//   T + t rounds to the nearest multiple of u: (M + k)·u, k the integer nearest to q.
//   Only when q lies exactly halfway between two integers does the choice (to even)
//   depend on M.
//
// So for the binade of the total, the sum K of the terms' k is kept; when no term is
// halfway and M + K < 2^53 (every partial total stays in the binade, the terms being
// non-negative), the whole sequence adds up to (M + K)·u exactly. Otherwise, or when T is
// 0 or below the normal range, the terms are added one by one. K is computed once per
// binade a sequence is asked for (the last two are remembered).
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

namespace dez {

/// Terms t_1..t_k, each >= 0 or +infinity, and their sums into a running total.
class OrderedTerms {
 public:
  OrderedTerms() = default;
  explicit OrderedTerms(std::vector<double> terms) : terms_(std::move(terms)) {}

  const std::vector<double>& terms() const { return terms_; }

  /// fl(...fl(fl(total + t_1) + t_2)... + t_k) for a total >= 0, bit for bit: each partial
  /// total rounded as one IEEE addition rounds it. Infinite once a partial total
  /// overflows (it then stays infinite); never NaN.
  double AddTo(double total);

 private:
  /// What the terms add to a total of the binade [2^exponent, 2^(exponent+1)).
  struct Binade {
    int exponent = 0;
    bool known = false;    ///< computed
    bool whole = false;    ///< no term halfway, none too large: `units` applies
    std::int64_t units = 0;
  };
  Binade For(int exponent);

  std::vector<double> terms_;
  Binade remembered_[2];
  int next_ = 0;  ///< which of remembered_ to replace next
};

}  // namespace dez
