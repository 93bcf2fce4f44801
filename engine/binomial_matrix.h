// The binary (presence/absence) measures: from a data block of presence and absence
// cells to the matrix of pairwise similarities or distances between its rows.
//
// For a pair of items the variables are counted as
//   a  both present          b  first present, second absent
//   c  first absent, second present          d  both absent
// and turned into one of the fifteen measures of dezEZuvazozSMB:
//
//   1 Euclidean       sqrt(b + c)                       9 RogersTanimoto  (a + d) / (a + d + 2b + 2c)
//   2 Hamann          (a + d - c - b) / (a + b + c + d) 10 RusselRao      a / (a + b + c + d)
//   3 Jaccard         a / (a + b + c)                   11 SokalMitchener (a + d) / (a + b + c + d)
//   4 Kulczynski1     a / (b + c)                       12 SorensenDice   2a / (2a + b + c)
//   5 Kulczynski2     (a / (a + b) + a / (a + c)) / 2   13 SqrdEuclidean  b + c
//   6 Ochiai          a / sqrt((a + b)(a + c))          14 Variance       (b + c) / (4p)
//   7 Pattern         b c / p^2                         15 YuleQ          (ad - bc) / (ad + bc)
//   8 Phi             (ad - bc) / sqrt((a + b)(a + c)(c + d)(b + d))
//
// Arithmetic follows the component's 16-bit rules: the counts and every integer part of
// a formula (sums, doublings, products, 4p) are checked 16-bit integers formed left to
// right, so Phi overflows once the product of its four sums passes 32767 (28 variables
// split evenly between the four counts already do). Divisions, square roots, p^2 and the
// halving of Kulczynski2 are in double precision.
#pragma once

#include <cstdint>
#include <string>

#include "runtime/array2d.h"

namespace dez {

/// Builds the n x n matrix of a binary measure over the rows of `data`.
///
/// @param data      items in rows 1..n, variables in columns 1..p (n, p <= 32767).
/// @param presence  the text of a present cell ("1" for the engine).
/// @param absence   the text of an absent cell ("0" for the engine).
/// @param measure   a dezEZuvazozSMB code; any other code leaves every cell 0.
/// @param undefined set to true (never to false) when the matrix is undefined, see below.
/// @return the matrix, both indices 1-based, symmetric, diagonal 0; each pair i < j is
///         computed once and copied to (j, i).
///
/// Cells are compared with the two texts as text: the number 1 reads "1", an empty cell
/// the empty text. Every cell is checked first (also when no pair follows).
///
/// Zero denominators (Jaccard a + b + c, Kulczynski1 b + c, Kulczynski2 a + b or a + c,
/// Ochiai and Phi a square root of 0, SorensenDice 2a + b + c, YuleQ ad + bc) are tested
/// before dividing: the cell stays 0, `undefined` is set, and the other pairs are still
/// computed.
///
/// Faults raise nothing: they set `undefined` and return an empty matrix. They are a cell
/// that reads as neither text (any other number, text, empty, a Boolean or an error
/// value), a 16-bit overflow (of n, p or any integer part), a division of 0 by 0 (only
/// with no variables at all) and an empty data block.
///
/// Cost: one pass over the cells, then n(n - 1)/2 pairs of p/64 word operations each.
DoubleMatrix BuildBinomialMatrix(const VariantMatrix& data, const std::string& presence,
                                 const std::string& absence, std::int32_t measure, bool& undefined);

}  // namespace dez
