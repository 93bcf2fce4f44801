// Temporary stand-ins for the matrix builders until their own files land: each marks the
// matrix undefined and returns it empty, as a builder does when it stops on a fault.
#include "engine/clsHClusterBO.h"

namespace dez {

DoubleMatrix clsHClusterBO::CalcBinomialMatrix(const VariantMatrix&, const std::string&, const std::string&,
                                               std::int32_t) {
  undefined_ = true;
  return {};
}

DoubleMatrix clsHClusterBO::CalcMetricMatrix(const VariantMatrix&, std::int32_t, std::int16_t&) {
  undefined_ = true;
  return {};
}

std::optional<DoubleMatrix> clsHClusterBO::CalcMixedMatrix(const VariantMatrix&, const StringMatrix&,
                                                           const std::string&, const std::string&) {
  undefined_ = true;
  return std::nullopt;
}

}  // namespace dez
