#include "engine/folded_matrix.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "engine/memory_pages.h"
#include "engine/parallel_rows.h"

namespace dez {

namespace {

constexpr std::int32_t kTile = 64;  // a tile of 64 x 64 cells and its mirror fit in L2

std::size_t Index(std::int64_t i) { return static_cast<std::size_t>(i); }

/// Copies cell (i, j) to (j, i) for every i < j, in square tiles; the bands of tiles are
/// shared among the builder threads (each writes only the lower cells of its columns).
void MirrorUpperTriangle(DoubleMatrix& m) {
  const std::int32_t n = m.rows();
  double* cells = m.data();
  const std::int32_t bands = (n + kTile - 1) / kTile;
  ForEachRowChunk(bands, 0.5 * static_cast<double>(n) * static_cast<double>(n), [&](std::int32_t first, std::int32_t last) {
    for (std::int32_t i0 = first * kTile; i0 < std::min(n, last * kTile); i0 += kTile) {
      for (std::int32_t j0 = i0; j0 < n; j0 += kTile) {
        for (std::int32_t j = j0; j < std::min(n, j0 + kTile); ++j) {
          for (std::int32_t i = i0; i < std::min(j, i0 + kTile); ++i) {
            cells[Index(j) * Index(n) + Index(i)] = cells[Index(i) * Index(n) + Index(j)];
          }
        }
      }
    }
    return true;
  });
}

}  // namespace

bool IsSymmetric(const DoubleMatrix& m) {
  const std::int32_t n = m.rows();
  if (m.cols() != n) return false;
  const double* cells = m.data();
  const std::int32_t bands = (n + kTile - 1) / kTile;
  // The bands of kTile rows are compared side by side (the builder threads).
  return ForEachRowChunk(bands, 0.5 * static_cast<double>(n) * static_cast<double>(n), [&](std::int32_t first, std::int32_t last) {
    // Invariant: every tile before (i0, j0), in row-of-tiles order, matches its mirror.
    for (std::int32_t i0 = first * kTile; i0 < std::min(n, last * kTile); i0 += kTile) {
      for (std::int32_t j0 = i0; j0 < n; j0 += kTile) {
        std::uint64_t differ = 0;  // the bits in which some cell and its mirror differ
        for (std::int32_t i = i0; i < std::min(n, i0 + kTile); ++i) {
          const double* upper = cells + Index(i) * Index(n);
          for (std::int32_t j = std::max(j0, i + 1); j < std::min(n, j0 + kTile); ++j) {
            differ |= std::bit_cast<std::uint64_t>(upper[j]) ^ std::bit_cast<std::uint64_t>(cells[Index(j) * Index(n) + Index(i)]);
          }
        }
        if (differ != 0) return false;
      }
    }
    return true;
  });
}

// Folding: the diagonal is kept aside; the upper triangle moves, row by row, to the front
// of the matrix's own memory (each row to a place no later than its own and ending before
// the next row's cells, so moving rows in order never overwrites one still to be moved);
// the memory behind it goes back to the system, and the front, without a copy, becomes
// the vector. Nothing is allocated but the diagonal.
FoldedMatrix::FoldedMatrix(DoubleMatrix& matrix)
    : matrix_(matrix), n_(matrix.rows()),
      pairs_(Index(std::int64_t{n_} * (std::int64_t{n_} - 1) / 2)), diagonal_(Index(n_)) {
  double* cells = matrix_.data();
  const std::size_t n = Index(n_);
  for (std::size_t i = 0; i < n; ++i) diagonal_[i] = cells[i * n + i];
  // Invariant: the upper cells of rows 0..i−1 are packed at [0, RowStart(i)).
  for (std::int32_t i = 0; i + 1 < n_; ++i) {
    std::memmove(cells + RowStart(i), cells + Index(i) * n + Index(i) + 1, sizeof(double) * (n - Index(i) - 1));
  }
  DoubleMatrix::Elements elements = matrix_.TakeElements();
  ReleasePages(elements.data() + pairs_, elements.data() + elements.size());
  elements.resize(pairs_);  // smaller: the memory stays the vector's, nothing is moved
  input_ = DoubleMatrix(static_cast<std::int32_t>(pairs_), 1, std::move(elements));
  folded_ = true;
}

std::size_t FoldedMatrix::RowStart(std::int32_t i) const {
  return Index(std::int64_t{i} * (2 * std::int64_t{n_} - i - 1) / 2);
}

// Unfolding: the vector grows back to n² elements in its own memory (no new allocation,
// so this cannot fail), each row's upper cells move back to their place, in reverse
// order, then the mirror and the diagonal: every cell is written again.
void FoldedMatrix::Unfold() {
  if (!folded_) return;
  DoubleMatrix::Elements elements = input_.TakeElements();
  const std::size_t n = Index(n_);
  elements.resize(n * n);  // within its capacity
  double* cells = elements.data();
  // Invariant: rows i+1..n−2 have their upper cells back; rows 0..i are still packed.
  for (std::int32_t i = n_ - 2; i >= 0; --i) {
    std::memmove(cells + Index(i) * n + Index(i) + 1, cells + RowStart(i), sizeof(double) * (n - Index(i) - 1));
  }
  matrix_ = DoubleMatrix(n_, n_, std::move(elements));
  MirrorUpperTriangle(matrix_);
  for (std::size_t i = 0; i < n; ++i) matrix_.data()[i * n + i] = diagonal_[i];
  folded_ = false;
}

}  // namespace dez
