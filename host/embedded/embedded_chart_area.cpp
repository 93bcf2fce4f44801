#include "host/embedded/embedded_chart_area.h"

#include "host/embedded/chart_interior.h"

namespace dez::embedded {

void EmbeddedChartArea::AutoScaleFont(bool on, host::Loc) { model_->chartArea.autoScaleFont = on; }

host::InteriorPtr EmbeddedChartArea::Interior() { return std::make_shared<ChartInterior>(model_); }

}  // namespace dez::embedded
