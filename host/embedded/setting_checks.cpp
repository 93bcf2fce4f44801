#include "host/embedded/setting_checks.h"

#include <cmath>
#include <string>

#include "host/embedded/host_error.h"
#include "host/embedded/object_model_constants.h"

namespace dez::embedded {

void RequireSetting(bool ok, std::string_view object, std::string_view property, host::Loc where) {
  if (ok) return;
  RaiseHostError(object, "Unable to set the " + std::string(property) + " property of the " + std::string(object) +
                             " class", where);
}

bool IsPointSize(double points) { return std::isfinite(points) && points >= 0.0; }

bool IsColorIndex(std::int32_t index) {
  return (index >= kColorIndexFirst && index <= kColorIndexLast) || index == kColorIndexNone ||
         index == kColorIndexAutomatic;
}

bool IsFontSize(double points) { return std::isfinite(points) && points >= 1.0 && points <= 409.0; }

}  // namespace dez::embedded
