// The general similarity of mixed data: binary, quantitative and qualitative variables
// side by side, each scored per pair and averaged over the variables that count.
//
// Per variable k, with x and y the cells of items i and j and the type code of k upper-
// cased, the score s and weight w are
//
//   BIN    both the presence text           s = 1, w = 1
//          both the absence text            s = 0, w = 0 (the variable does not count)
//          anything else                    s = 0, w = 1
//   QUAL   x equals y (CellEquals)          s = 1, w = 1, otherwise s = 0, w = 1
//   QUANT  always                           s = 1 - |x - y| / R_k, w = 1
//   other  always                           s = 0, w = 0
//
// where R_k = max - min of variable k over all items. S and W, the sums of s and w over
// k = 1..p in that order from 0, give the similarity S / W; a pair with W = 0 keeps 0.
#pragma once

#include <optional>
#include <string>

#include "runtime/array2d.h"

namespace dez {

/// Builds the n x n similarity matrix of mixed data over the rows of `data`.
///
/// @param data     items in rows 1..n, variables in columns 1..p (n, p <= 32767).
/// @param types    element (1, k) is the type code of variable k: "BIN", "QUANT" or
///                 "QUAL" in any letter case; any other code ignores the variable.
/// @param presence the text of a present BIN cell ("1" for the engine).
/// @param absence  the text of an absent BIN cell ("0" for the engine).
/// @return the matrix, both indices 1-based, symmetric, diagonal 0, each pair i < j
///         computed once and copied to (j, i); nothing when the matrix is undefined.
///
/// BIN cells are compared with the two texts as text (the number 1 reads "1"; a cell of
/// neither text is simply not a match). QUAL cells are compared as cell values: numbers
/// by value, texts exactly with letter case, a number never equals a text, an empty cell
/// equals another empty cell, the number 0 and the empty text. QUANT cells are numbers
/// (empty 0, a Boolean -1 or 0, a numeric text its number).
///
/// The matrix is undefined when every pair's similarity is 0 (with a single item too),
/// and on a fault, which raises nothing: fewer than p type codes, a QUANT cell that is no
/// finite number, a QUANT variable with R_k = 0 or an overflowing range when there is a
/// pair to score, an error value in a BIN or QUAL cell that a pair compares, n or p above
/// 32767, an empty data block.
///
/// Cost: one pass converting the cells, then n(n - 1)/2 pairs of p scores.
std::optional<DoubleMatrix> BuildMixedMatrix(const VariantMatrix& data, const StringMatrix& types,
                                             const std::string& presence, const std::string& absence);

}  // namespace dez
