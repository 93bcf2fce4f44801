// The embedded add-in library's statistics class: conversions and correlations.
#pragma once

#include "host/addin_library.h"

namespace dez::embedded {

/// clsStatistics of the embedded library.
///
/// Correlations are product-moment coefficients computed in two passes (means, then
/// sums of products of deviations), each sum added in index order. Where a coefficient
/// is undefined the class follows a fixed rule rather than failing:
/// - `Correlate` of fewer than two pairs, or of two series that both have no variation,
///   is 1 (the one series reproduces the other exactly); of exactly one series without
///   variation it is 0 (no linear association).
/// - `CorrelationMatrix` raises division by zero (11) for a row without variation: a
///   correlation between items with that row is meaningless for clustering.
/// Coefficients are clamped to -1..1 against rounding just past the bounds.
class clsStatisticsEmbedded final : public host::clsStatistics {
 public:
  DoubleMatrix ToDoubleMatrix(const VariantMatrix& values, host::Loc where = host::Loc::current()) override;
  StringMatrix ToStringArray(const VariantMatrix& values, host::Loc where = host::Loc::current()) override;
  /// Centres every row on its mean.
  DoubleMatrix PrepareCorrelation(const DoubleMatrix& data, host::Loc where = host::Loc::current()) override;
  /// r(i, j) = S(i, j) / sqrt(S(i, i) * S(j, j)) over the centred rows; diagonal 1.
  DoubleMatrix CorrelationMatrix(const DoubleMatrix& prepared, bool flag,
                                 host::Loc where = host::Loc::current()) override;
  DoubleMatrix Correlate(const DoubleMatrix& x, const DoubleMatrix& y, host::Loc where = host::Loc::current()) override;
};

}  // namespace dez::embedded
