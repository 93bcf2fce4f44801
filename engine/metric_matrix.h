// The metric measures: from a data block of numbers to the matrix of pairwise distances
// (or, for the correlation, similarities) between its rows.
//
// With x and y the rows of items i and j, d_k = |x_k - y_k| and sums over k = 1..p in
// that order, the measures of dezEZuvazozSMM are
//
//   1 BrayCurtis     sum d_k / (sum y_k + sum x_k)
//   2 Canberra       sum (d_k / (x_k + y_k))
//   3 CityBlock      (sum d_k^1)^(1/1)
//   4 Euclidean      (sum d_k^2)^(1/2)
//   5 Minkowski      (sum d_k^P)^(1/P), P = Power
//   6 Correlation    the product-moment correlation of the rows, from the add-in library
//   7 SqrdEuclidean  (sum d_k^2)^(2/2)
//
// Denominators are the plain sums, without absolute values, so negative values may
// cancel them. Powers are the runtime's power operator (std::pow); the root exponent r/e
// is a double quotient.
#pragma once

#include <cstdint>

#include "host/addin_library.h"
#include "runtime/array2d.h"

namespace dez {

/// Builds the n x n matrix of a metric measure over the rows of `data`.
///
/// @param data       items in rows 1..n, variables in columns 1..p (n, p <= 32767). Cells
///                   are used as numbers: a number as itself, empty as 0, a Boolean as
///                   -1 or 0, a text that reads as a number as that number.
/// @param measure    a dezEZuvazozSMM code; any other code gives the all-zero matrix.
/// @param exponent   in: an exponent for the codes other than 3, 4, 5 and 7 when non-zero
///                   (the engine passes 0); out: the exponent e used, set before any pair
///                   is computed: CityBlock 1, Minkowski `power`, otherwise 2 or the
///                   non-zero value passed in (never for Euclidean and SqrdEuclidean).
/// @param power      the Minkowski exponent (0..9 in the engine).
/// @param statistics the add-in library's statistics object; only the correlation uses
///                   it, with ToDoubleMatrix, PrepareCorrelation and CorrelationMatrix(., 0)
///                   in that order, whose last result is returned as it is.
/// @param undefined  set to true (never to false) on a fault.
/// @return the matrix, both indices 1-based, symmetric, diagonal 0, each pair i < j
///         computed once and copied to (j, i); for the correlation the library's matrix.
///
/// Faults raise nothing: they set `undefined` and return an empty matrix. They are a cell
/// that cannot be read as a number (a text that is no number, an error value, a number
/// that is not finite), a zero denominator (Bray-Curtis sums adding to 0, a Canberra term
/// with x_k + y_k = 0), Minkowski with `power` 0 (the root exponent 1/0), any overflow,
/// n or p above 32767, an empty data block and any error of the library. A cell is
/// only read when some pair uses it: with a single item the result is the 1 x 1 zero
/// matrix whatever the cells hold.
///
/// Cost: one pass converting the cells, then n(n - 1)/2 pairs of p terms, shared among
/// the builder threads (BuilderThreads(); the result is the same for any number). Each
/// term is a std::pow call except where the exponent is 1, whose power is the value
/// itself, and where it is 2, whose power is d * d wherever that is provably pow's bits.
DoubleMatrix BuildMetricMatrix(const VariantMatrix& data, std::int32_t measure, std::int16_t& exponent,
                               std::int16_t power, host::clsStatistics& statistics, bool& undefined);

}  // namespace dez
