#include "host/embedded/statistics.h"

#include <algorithm>
#include <cmath>

#include "runtime/checked_float.h"

namespace dez::embedded {

namespace {
constexpr const char* kSource = "clsStatistics";

double Clamp(double r) { return std::clamp(r, -1.0, 1.0); }
}  // namespace

DoubleMatrix clsStatisticsEmbedded::ToDoubleMatrix(const VariantMatrix& values, host::Loc where) {
  DoubleMatrix out(values.rows(), values.cols());
  for (std::int32_t r = 1; r <= values.rows(); ++r) {
    for (std::int32_t c = 1; c <= values.cols(); ++c) {
      const Variant& v = values(r, c);
      if (v.IsError() || (v.IsText() && !v.IsNumeric())) {
        throw Error(fault::kTypeMismatch, kSource, DefaultDescription(fault::kTypeMismatch), where);
      }
      out(r, c) = v.ToDouble(where);
    }
  }
  return out;
}

StringMatrix clsStatisticsEmbedded::ToStringArray(const VariantMatrix& values, host::Loc where) {
  StringMatrix out(values.rows(), values.cols());
  for (std::int32_t r = 1; r <= values.rows(); ++r) {
    for (std::int32_t c = 1; c <= values.cols(); ++c) {
      const Variant& v = values(r, c);
      if (v.IsError()) throw Error(fault::kTypeMismatch, kSource, DefaultDescription(fault::kTypeMismatch), where);
      out(r, c) = v.ToText(where);
    }
  }
  return out;
}

DoubleMatrix clsStatisticsEmbedded::PrepareCorrelation(const DoubleMatrix& data, host::Loc where) {
  DoubleMatrix out(data.rows(), data.cols());
  const std::int32_t p = data.cols();
  for (std::int32_t r = 1; r <= data.rows(); ++r) {
    double sum = 0.0;
    for (std::int32_t k = 1; k <= p; ++k) sum += data(r, k);
    const double mean = p > 0 ? Fin(sum / p, where) : 0.0;
    for (std::int32_t k = 1; k <= p; ++k) out(r, k) = Fin(data(r, k) - mean, where);
  }
  return out;
}

DoubleMatrix clsStatisticsEmbedded::CorrelationMatrix(const DoubleMatrix& prepared, bool /*flag*/,
                                                      host::Loc where) {
  const std::int32_t n = prepared.rows();
  const std::int32_t p = prepared.cols();
  std::vector<double> norm(static_cast<std::size_t>(n) + 1, 0.0);
  for (std::int32_t i = 1; i <= n; ++i) {
    double s = 0.0;
    for (std::int32_t k = 1; k <= p; ++k) s += prepared(i, k) * prepared(i, k);
    if (s == 0.0) throw Error(fault::kDivisionByZero, kSource, DefaultDescription(fault::kDivisionByZero), where);
    norm[static_cast<std::size_t>(i)] = Fin(s, where);
  }
  DoubleMatrix out(n, n);
  for (std::int32_t i = 1; i <= n; ++i) {
    out(i, i) = 1.0;
    const auto ri = prepared.Row(i);
    for (std::int32_t j = i + 1; j <= n; ++j) {
      const auto rj = prepared.Row(j);
      double s = 0.0;
      for (std::int32_t k = 0; k < p; ++k) s += ri[static_cast<std::size_t>(k)] * rj[static_cast<std::size_t>(k)];
      const double r = Clamp(Fin(s / std::sqrt(norm[static_cast<std::size_t>(i)] * norm[static_cast<std::size_t>(j)]), where));
      out(i, j) = r;
      out(j, i) = r;
    }
  }
  return out;
}

DoubleMatrix clsStatisticsEmbedded::Correlate(const DoubleMatrix& x, const DoubleMatrix& y, host::Loc where) {
  if (x.rows() != y.rows() || x.cols() < 1 || y.cols() < 1) {
    throw Error(fault::kSubscriptOutOfRange, kSource, DefaultDescription(fault::kSubscriptOutOfRange), where);
  }
  DoubleMatrix out(1, 1, 1.0);
  const std::int32_t m = x.rows();
  if (m < 2) return out;
  double sx = 0.0;
  double sy = 0.0;
  for (std::int32_t k = 1; k <= m; ++k) {
    sx += x(k, 1);
    sy += y(k, 1);
  }
  const double mx = Fin(sx / m, where);
  const double my = Fin(sy / m, where);
  double sxx = 0.0;
  double syy = 0.0;
  double sxy = 0.0;
  for (std::int32_t k = 1; k <= m; ++k) {
    const double dx = x(k, 1) - mx;
    const double dy = y(k, 1) - my;
    sxx += dx * dx;
    syy += dy * dy;
    sxy += dx * dy;
  }
  Fin(sxx, where);
  Fin(syy, where);
  if (sxx == 0.0 && syy == 0.0) return out;  // both constant: reproduced exactly
  if (sxx == 0.0 || syy == 0.0) {
    out(1, 1) = 0.0;  // one constant series: no linear association
    return out;
  }
  out(1, 1) = Clamp(Fin(sxy / std::sqrt(sxx * syy), where));
  return out;
}

}  // namespace dez::embedded
