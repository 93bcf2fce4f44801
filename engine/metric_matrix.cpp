// The metric measures and the engine's CalcMetricMatrix.
//
// The cells are converted to numbers once, stored variable by variable, so that for a
// fixed item i and variable k the loop over the partners j > i reads one contiguous run
// and adds one term to each of the cells (i, j). Every cell (i, j) thus receives its
// terms in the order k = 1..p, starting from 0, exactly as a loop over k inside the pair
// would add them; only independent pairs are processed side by side, which lets the
// compiler use vector instructions across j. The rows are shared among threads
// (parallel_rows.h): a cell's value does not depend on which thread computes it.
//
// Checks: the component's arithmetic turns every infinite or invalid result into a
// fault. In the streaming loops the values are left to IEEE arithmetic and the finished
// cells are tested instead: once a term, a sum or a quotient is infinite or NaN, every
// later result that depends on it is too, so a fault always shows in the cell. The one
// way a non-finite intermediate could vanish is an overflowing sum in a denominator
// (d / inf = 0); the streaming loops are therefore used only for data whose magnitudes
// make every sum and difference finite, and an exponent of at least 1. Anything else
// goes through the pair loop with each operation checked.
#include "engine/metric_matrix.h"

#include "engine/measure_table.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <new>
#include <stdexcept>
#include <vector>

#include "dezezuvazoz/enums.h"
#include "engine/clsHClusterBO.h"
#include "engine/mirror_upper_triangle.h"
#include "engine/exact_power.h"
#include "engine/parallel_rows.h"
#include "runtime/checked_float.h"
#include "runtime/checked_int.h"
#include "runtime/error.h"

namespace dez {

namespace {

constexpr double kLargest = std::numeric_limits<double>::max();

/// The cell values as numbers, variable by variable: value (i, k), both 0-based, at
/// [k * n + i].
class NumericData {
 public:
  /// Converts every cell; one that cannot be read as a finite number is a fault.
  explicit NumericData(const VariantMatrix& data)
      : n_(data.rows()), p_(data.cols()),
        values_(static_cast<std::size_t>(n_) * static_cast<std::size_t>(p_)) {
    for (std::int32_t i = 1; i <= n_; ++i) {
      for (std::int32_t k = 1; k <= p_; ++k) {
        const double v = Fin(data(i, k).ToDouble());
        values_[static_cast<std::size_t>(k - 1) * static_cast<std::size_t>(n_) + static_cast<std::size_t>(i - 1)] = v;
        maxAbs_ = std::max(maxAbs_, std::fabs(v));
      }
    }
  }

  std::int32_t items() const { return n_; }
  std::int32_t variables() const { return p_; }
  /// The n values of variable k (0-based).
  const double* Variable(std::int32_t k) const {
    return values_.data() + static_cast<std::size_t>(k) * static_cast<std::size_t>(n_);
  }
  double At(std::int32_t i, std::int32_t k) const { return Variable(k)[i]; }

  /// True when no difference, sum of two values or sum over all variables of values or
  /// of differences can overflow: every magnitude is at most max / (4 p).
  bool SumsStayFinite() const { return maxAbs_ <= kLargest / (4.0 * std::max(p_, 1)); }

 private:
  std::int32_t n_;
  std::int32_t p_;
  std::vector<double> values_;
  double maxAbs_ = 0.0;
};

/// The sum of each item's values over k = 1..p in that order, from 0: Bray-Curtis's A
/// and B, which depend on one item only and so are the same for every pair.
std::vector<double> ItemSums(const NumericData& x) {
  std::vector<double> sums(static_cast<std::size_t>(x.items()), 0.0);
  for (std::int32_t k = 0; k < x.variables(); ++k) {
    const double* v = x.Variable(k);
    for (std::size_t i = 0; i < sums.size(); ++i) sums[i] += v[i];
  }
  return sums;
}

constexpr std::int32_t kBlock = 512;  // a block of cells and of one variable's values fit in L1

/// Adds term(xi, y[t]) to cells[t] for t < count: the terms of one variable for a block
/// of partners.
template <class Term>
auto AddEach(Term term) {
  return [term](double xi, const double* y, double* cells, std::int32_t count) {
    for (std::int32_t t = 0; t < count; ++t) cells[t] += term(xi, y[t]);
  };
}

/// Adds pow(|xi − y[t]|, 2) to cells[t] for t < count: the square d·d where it is pow's
/// result (exact_power.h), pow itself for the few others. kFusedError: the test takes the
/// square's exact error from one fused multiply-add (only where the processor has it);
/// the answer, and so every result, is the same bit either way.
template <bool kFusedError>
[[gnu::always_inline]] inline void AddSquaresBody(double xi, const double* y, double* cells, std::int32_t count) {
  double squares[kBlock];
  double exact[kBlock];  // 1 where squares[t] is pow's result, else 0
  for (std::int32_t t = 0; t < count; ++t) {
    const double d = std::fabs(xi - y[t]);
    const double square = d * d;
    squares[t] = square;
    exact[t] = SquareIsPow<kFusedError>(d, square) ? 1.0 : 0.0;
  }
  // The others, gathered without a branch per value, then given to pow.
  std::int32_t others[kBlock];
  std::int32_t count2 = 0;
  for (std::int32_t t = 0; t < count; ++t) {
    others[count2] = t;
    count2 += exact[t] == 0.0 ? 1 : 0;
  }
  if (count2 > 0) {
    const double two = Opaque(2.0);
    for (std::int32_t u = 0; u < count2; ++u) {
      const std::int32_t t = others[u];
      squares[t] = std::pow(std::fabs(xi - y[t]), two);
    }
  }
  for (std::int32_t t = 0; t < count; ++t) cells[t] += squares[t];
}

using AddSquaresKernel = void (*)(double xi, const double* y, double* cells, std::int32_t count);

void AddSquaresBaseline(double xi, const double* y, double* cells, std::int32_t count) {
  AddSquaresBody<false>(xi, y, cells, count);
}

// The kernel built for the wider vector units too (with FMA), chosen by the processor at
// run time; all give the same bits (the same IEEE operations on the results, none fused).
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__)
#define DEZ_WIDER_KERNELS 1
[[gnu::target("arch=x86-64-v4")]] void AddSquaresV4(double xi, const double* y, double* cells, std::int32_t count) {
  AddSquaresBody<true>(xi, y, cells, count);
}
[[gnu::target("arch=x86-64-v3")]] void AddSquaresV3(double xi, const double* y, double* cells, std::int32_t count) {
  AddSquaresBody<true>(xi, y, cells, count);
}
#endif

AddSquaresKernel ChooseAddSquares() {
#ifdef DEZ_WIDER_KERNELS
  __builtin_cpu_init();
  if (__builtin_cpu_supports("x86-64-v4")) return AddSquaresV4;
  if (__builtin_cpu_supports("x86-64-v3")) return AddSquaresV3;
#endif
  return AddSquaresBaseline;
}

/// Streams the pairs: for every i, every block of partners j > i and every k in order,
/// cell (i, j) += term(x_ik, x_jk) (by `addTerms`, a block at a time); then cell (i, j) =
/// finish(i, j, cell (i, j)). The rows are shared among the builder threads; each cell
/// is computed by the same code whichever thread runs it. Returns false when some
/// finished cell is infinite or NaN.
template <class AddTerms, class Finish>
bool StreamUpperTriangle(const NumericData& x, DoubleMatrix& out, AddTerms addTerms, Finish finish) {
  const std::int32_t n = x.items();
  const std::int32_t p = x.variables();
  const double work = 0.5 * static_cast<double>(n) * static_cast<double>(n) * static_cast<double>(std::max(p, 1));
  return ForEachRowChunk(n - 1, work, [&](std::int32_t first, std::int32_t last) {
    bool bad = false;
    // Invariant: the cells of rows first..i−1 are finished; bad says whether one is not finite.
    for (std::int32_t i = first; i < last; ++i) {
      double* row = out.data() + static_cast<std::size_t>(i) * static_cast<std::size_t>(n);
      for (std::int32_t j0 = i + 1; j0 < n; j0 += kBlock) {
        const std::int32_t j1 = std::min(n, j0 + kBlock);
        for (std::int32_t k = 0; k < p; ++k) {
          const double* v = x.Variable(k);
          addTerms(v[i], v + j0, row + j0, j1 - j0);
        }
        for (std::int32_t j = j0; j < j1; ++j) {
          const double cell = finish(i, j, row[j]);
          row[j] = cell;
          bad |= !(std::fabs(cell) <= kLargest);
        }
      }
    }
    return !bad;
  });
}

/// The pair loop as the algorithm states it, every operation checked (raises on a
/// fault). Used where the streaming loops cannot vouch for their checks.
void CheckedUpperTriangle(const NumericData& x, std::int32_t measure, Int16 e, Int16 r, DoubleMatrix& out) {
  const std::int32_t n = x.items();
  const std::int32_t p = x.variables();
  for (std::int32_t i = 0; i + 1 < n; ++i) {
    for (std::int32_t j = i + 1; j < n; ++j) {
      double cell = 0.0;
      if (measure == dezEZuvazozSMMBrayCurtis) {
        double sumX = 0.0;
        double sumY = 0.0;
        for (std::int32_t k = 0; k < p; ++k) {
          cell = Fin(cell + std::fabs(Fin(x.At(i, k) - x.At(j, k))));
          sumX = Fin(sumX + x.At(i, k));
          sumY = Fin(sumY + x.At(j, k));
        }
        cell = Div(cell, Fin(sumY + sumX));
      } else if (measure == dezEZuvazozSMMCanberra) {
        for (std::int32_t k = 0; k < p; ++k) {
          cell = Fin(cell + Div(std::fabs(Fin(x.At(i, k) - x.At(j, k))), Fin(x.At(i, k) + x.At(j, k))));
        }
      } else {
        for (std::int32_t k = 0; k < p; ++k) cell = Fin(cell + Pow(std::fabs(Fin(x.At(i, k) - x.At(j, k))), e));
        cell = Pow(cell, Div(r, e));
      }
      out.data()[static_cast<std::size_t>(i) * static_cast<std::size_t>(n) + static_cast<std::size_t>(j)] = cell;
    }
  }
}

/// Fills cell (i, j), i < j, of every pair for the distance measures; raises on a fault.
///
/// A power with exponent 1 is taken as the value itself. That is what pow returns: its
/// error is below 0.55 ulp (glibc), so an exactly representable result comes back
/// exactly; only at a power of two, whose next value down lies half an ulp away, does
/// the bound leave room, and the metric tests check every power of two and a sweep of
/// other values. A power with exponent 2 is d * d where that is provably pow's result
/// and pow elsewhere (exact_power.h): pow(d, 2) differs from d * d in the last bit for
/// about one value in a thousand; the root of the Euclidean distance likewise sqrt or
/// pow. Other exponents call pow.
void FillUpperTriangle(const VariantMatrix& data, std::int32_t measure, Int16 e, Int16 r, DoubleMatrix& out) {
  const NumericData x(data);
  const bool power = measure != dezEZuvazozSMMBrayCurtis && measure != dezEZuvazozSMMCanberra;
  if (!x.SumsStayFinite() || (power && e < Int16{std::int16_t{1}})) {
    CheckedUpperTriangle(x, measure, e, r, out);
    return;
  }
  const auto absDifference = AddEach([](double a, double b) { return std::fabs(a - b); });
  const auto keep = [](std::int32_t, std::int32_t, double cell) { return cell; };
  bool finite = true;
  if (measure == dezEZuvazozSMMBrayCurtis) {
    const std::vector<double> sums = ItemSums(x);
    finite = StreamUpperTriangle(x, out, absDifference, [&sums](std::int32_t i, std::int32_t j, double cell) {
      return cell / (sums[static_cast<std::size_t>(j)] + sums[static_cast<std::size_t>(i)]);
    });
  } else if (measure == dezEZuvazozSMMCanberra) {
    finite = StreamUpperTriangle(x, out, AddEach([](double a, double b) { return std::fabs(a - b) / (a + b); }), keep);
  } else {
    // The exponents are hidden from the optimiser: with one it could see, it would turn
    // pow(d, 2.0) into d·d and pow(s, 1.0) into s, which are not always pow's results.
    const double termExponent = Opaque(e);
    const double rootExponent = Opaque(Div(r, e));
    const auto powerTerm = AddEach([termExponent](double a, double b) { return std::pow(std::fabs(a - b), termExponent); });
    const auto root = [rootExponent](std::int32_t, std::int32_t, double cell) { return std::pow(cell, rootExponent); };
    if (e == Int16{std::int16_t{1}}) {  // then r / e is 1 too: r = 2 only with e = 2
      finite = StreamUpperTriangle(x, out, absDifference, keep);
    } else if (e == Int16{std::int16_t{2}} && rootExponent == 1.0) {
      finite = StreamUpperTriangle(x, out, ChooseAddSquares(), keep);
    } else if (e == Int16{std::int16_t{2}} && rootExponent == 0.5) {
      const auto squareRoot = [](std::int32_t, std::int32_t, double cell) { return PowHalf(cell); };
      finite = StreamUpperTriangle(x, out, ChooseAddSquares(), squareRoot);
    } else if (e == Int16{std::int16_t{2}}) {
      finite = StreamUpperTriangle(x, out, ChooseAddSquares(), root);
    } else if (rootExponent == 1.0) {
      finite = StreamUpperTriangle(x, out, powerTerm, keep);
    } else {
      finite = StreamUpperTriangle(x, out, powerTerm, root);
    }
  }
  if (!finite) Raise(fault::kOverflow);
}

/// Mirrors the upper triangle, its bands of rows shared among the builder threads.
void MirrorUpperTriangleOnThreads(DoubleMatrix& m) {
  const double n = m.rows();
  ForEachRowChunk(MirrorBands(m.rows()), 0.5 * n * n, [&](std::int32_t first, std::int32_t last) {
    MirrorUpperTriangleBands(m, first, last);
    return true;
  });
}

/// The whole build; raises on a fault.
DoubleMatrix Build(const VariantMatrix& data, std::int32_t measure, std::int16_t& exponent, std::int16_t power,
                   host::clsStatistics& statistics) {
  CInt(data.cols());  // p, like n, is 16-bit: more than 32767 variables is an overflow
  const Int16 n = CInt(data.rows());
  if (n == Int16{}) Raise(fault::kSubscriptOutOfRange);  // an array cannot have 0 rows

  Int16 e{std::int16_t{2}};
  if (measure == dezEZuvazozSMMCityBlock) {
    e = Int16{std::int16_t{1}};
  } else if (exponent != 0 && measure != dezEZuvazozSMMEuclidean && measure != dezEZuvazozSMMSqrdEuclidean) {
    e = Int16{exponent};
  }
  if (measure == dezEZuvazozSMMMinkowski) e = Int16{power};
  const Int16 r{measure == dezEZuvazozSMMSqrdEuclidean ? std::int16_t{2} : std::int16_t{1}};
  exponent = e.get();

  // The result starts as the n x n zero matrix; the correlation returns the library's
  // matrix in its place, so it does not create the zero matrix only to discard it.
  if (measure == dezEZuvazozSMMCorrelation) {
    const DoubleMatrix numbers = statistics.ToDoubleMatrix(data);
    const DoubleMatrix prepared = statistics.PrepareCorrelation(numbers);
    return statistics.CorrelationMatrix(prepared, false);
  }
  DoubleMatrix out(n.get(), n.get());
  // The correlation was handled above; an unknown code computes nothing, every cell stays
  // 0, and a single item has no pair, so no cell is ever read.
  if (FindMeasure(dezEZuvazozMetric, measure) && n.get() >= 2) {
    FillUpperTriangle(data, measure, e, r, out);
    MirrorUpperTriangleOnThreads(out);
  }
  return out;
}

}  // namespace

DoubleMatrix BuildMetricMatrix(const VariantMatrix& data, std::int32_t measure, std::int16_t& exponent,
                               std::int16_t power, host::clsStatistics& statistics, bool& undefined) {
  // The build's error trap raises nothing: a fault leaves the matrix undefined and empty.
  // Besides the component's errors it takes what the runtime's traps turn into errors.
  try {
    return Build(data, measure, exponent, power, statistics);
  } catch (const Error&) {
  } catch (const std::bad_alloc&) {
  } catch (const std::out_of_range&) {
  } catch (const std::length_error&) {
  }
  undefined = true;
  return {};
}

DoubleMatrix clsHClusterBO::CalcMetricMatrix(const VariantMatrix& data, std::int32_t measure,
                                             std::int16_t& exponent) {
  bool undefined = false;
  // The statistics object exists for the engine's whole life (its creation fails otherwise).
  DoubleMatrix out = BuildMetricMatrix(data, measure, exponent, power_, *statistics_, undefined);
  if (undefined) undefined_ = true;
  return out;
}

}  // namespace dez
