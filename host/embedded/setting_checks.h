// Checks of the values that format and chart settings accept.
#pragma once

#include <cstdint>
#include <string_view>

#include "host/forward.h"

namespace dez::embedded {

/// Raises 1004 ("Unable to set the <property> property of the <object> class") unless
/// `ok`; returns otherwise.
void RequireSetting(bool ok, std::string_view object, std::string_view property, host::Loc where);

/// True for a finite number of points >= 0.
bool IsPointSize(double points);
/// True for a palette colour index 1..56 or one of the automatic / none values.
bool IsColorIndex(std::int32_t index);
/// True for a font size the host accepts: 1 to 409 points.
bool IsFontSize(double points);

}  // namespace dez::embedded
