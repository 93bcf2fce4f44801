#include "engine/mirror_upper_triangle.h"

#include <algorithm>
#include <cstddef>

namespace dez {

void MirrorUpperTriangleBands(DoubleMatrix& m, std::int32_t firstBand, std::int32_t lastBand) {
  const std::int32_t n = m.rows();
  const auto stride = static_cast<std::size_t>(n);
  double* cells = m.data();
  for (std::int32_t i0 = firstBand * kMirrorTile; i0 < std::min(n, lastBand * kMirrorTile); i0 += kMirrorTile) {
    const std::int32_t i1 = std::min(n, i0 + kMirrorTile);
    for (std::int32_t j0 = i0; j0 < n; j0 += kMirrorTile) {
      const std::int32_t j1 = std::min(n, j0 + kMirrorTile);
      for (std::int32_t j = j0; j < j1; ++j) {
        const std::int32_t iEnd = std::min(i1, j);
        for (std::int32_t i = i0; i < iEnd; ++i) {
          cells[static_cast<std::size_t>(j) * stride + static_cast<std::size_t>(i)] =
              cells[static_cast<std::size_t>(i) * stride + static_cast<std::size_t>(j)];
        }
      }
    }
  }
}

}  // namespace dez
