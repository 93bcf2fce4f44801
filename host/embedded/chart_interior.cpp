#include "host/embedded/chart_interior.h"

#include "host/embedded/setting_checks.h"

namespace dez::embedded {

void ChartInterior::ColorIndex(std::int16_t index, host::Loc where) {
  RequireSetting(IsColorIndex(index), "Interior", "ColorIndex", where);
  model_->chartArea.interiorColorIndex = index;
}

}  // namespace dez::embedded
