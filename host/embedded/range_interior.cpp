#include "host/embedded/range_interior.h"

#include "host/embedded/setting_checks.h"
#include "host/embedded/embedded_range.h"

namespace dez::embedded {

void RangeInterior::ColorIndex(std::int16_t index, host::Loc where) {
  RequireSetting(IsColorIndex(index), "Interior", "ColorIndex", where);
  range_->EditFormat([&](CellStyle& s) { s.interiorColorIndex = index; }, where);
}

}  // namespace dez::embedded
