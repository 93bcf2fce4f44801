// Mirroring a square matrix's upper triangle into its lower triangle.
#pragma once

#include <cstdint>

#include "runtime/array2d.h"

namespace dez {

/// Rows are mirrored in bands of this many rows (square tiles keep the rows read and the
/// columns written in cache).
inline constexpr std::int32_t kMirrorTile = 64;

/// The number of bands of kMirrorTile rows of an n x n matrix.
constexpr std::int32_t MirrorBands(std::int32_t n) { return (n + kMirrorTile - 1) / kMirrorTile; }

/// Copies cell (i, j) to (j, i) for every i < j whose row i lies in the bands
/// [firstBand, lastBand). A band reads only its own rows' upper cells and writes only the
/// lower cells of its own columns, so bands may be mirrored on different threads.
void MirrorUpperTriangleBands(DoubleMatrix& m, std::int32_t firstBand, std::int32_t lastBand);

/// Copies cell (i, j) to (j, i) for every i < j.
inline void MirrorUpperTriangle(DoubleMatrix& m) { MirrorUpperTriangleBands(m, 0, MirrorBands(m.rows())); }

}  // namespace dez
