// A symmetric matrix folded into the vector of its upper triangle, with its memory given
// back meanwhile.
//
// The cophenetic correlation hands the library two vectors of the (n² − n)/2 pairs; the
// n x n matrix beside them would double the memory of the analysis. The matrix's upper
// triangle, row by row, is exactly the first of those vectors, and the lower triangle of
// a symmetric matrix repeats it, so while the vectors live the matrix can be reduced to
// that vector and its diagonal, and be restored from them afterwards, bit for bit.
//
//   if (IsSymmetric(m)) {
//     FoldedMatrix folded(m);           // m is empty; folded.input() holds the pairs
//     Use(folded.input());
//   }                                   // m is whole again (also when Use throws)
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "runtime/array2d.h"

namespace dez {

/// True when the matrix is square and every cell (i, j) has the bits of (j, i) (so 0 and
/// −0 differ). Compared in square tiles, bands of them side by side on the builder
/// threads; a band stops at its first tile that differs.
bool IsSymmetric(const DoubleMatrix& m);

/// Folds a square, symmetric matrix (IsSymmetric) for its lifetime.
///
/// While folded the matrix is empty (no elements) and must not be used; input() holds
/// its upper triangle as a column, in the matrix's own memory: pair (i, j), i < j, at row
/// (i − 1)(2n − i)/2 + (j − i). The memory of the rest goes back to the system
/// (memory_pages.h), so the two together never hold more than the matrix's own 8n²
/// bytes, and half of that while folded. Unfold(), or the end of the object's life,
/// restores every cell with its bits, in the same memory. Nothing fails but the
/// allocation of n doubles for the diagonal (std::bad_alloc, before anything is changed).
class FoldedMatrix {
 public:
  explicit FoldedMatrix(DoubleMatrix& matrix);
  ~FoldedMatrix() { Unfold(); }
  FoldedMatrix(const FoldedMatrix&) = delete;
  FoldedMatrix& operator=(const FoldedMatrix&) = delete;

  /// The pairs of the upper triangle, (n² − n)/2 rows and one column.
  const DoubleMatrix& input() const { return input_; }

  /// Restores the matrix (once; later calls do nothing). Does not fail.
  void Unfold();

 private:
  /// Index of pair (i, i + 1), rows from 0, in the vector of pairs.
  std::size_t RowStart(std::int32_t i) const;

  DoubleMatrix& matrix_;
  std::int32_t n_;
  std::size_t pairs_;
  std::vector<double> diagonal_;
  DoubleMatrix input_;
  bool folded_ = false;
};

}  // namespace dez
