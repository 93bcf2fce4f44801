#include "host/embedded/embedded_tick_labels.h"

#include "host/embedded/chart_font.h"
#include "host/embedded/host_error.h"

namespace dez::embedded {

namespace {
// The axis (type, group) unless it was deleted.
AxisSettings* LiveAxis(ChartModel& model, std::int32_t type, std::int32_t group) {
  for (AxisSettings& a : model.axes) {
    if (a.type == type && a.group == group) return a.deleted ? nullptr : &a;
  }
  return nullptr;
}
}  // namespace

TickLabelSettings& EmbeddedTickLabels::Settings(host::Loc where) const {
  AxisSettings* axis = LiveAxis(*model_, type_, group_);
  if (!axis) RaiseHostError("TickLabels", "The axis of these tick labels was deleted", where);
  return axis->tickLabels;
}

void EmbeddedTickLabels::AutoScaleFont(bool on, host::Loc where) { Settings(where).autoScaleFont = on; }

host::FontPtr EmbeddedTickLabels::Font() {
  ChartModel* model = model_.get();
  return std::make_shared<ChartFont>(model_, [model, type = type_, group = group_]() -> ChartFontSettings* {
    AxisSettings* axis = LiveAxis(*model, type, group);
    return axis ? &axis->tickLabels.font : nullptr;
  });
}

void EmbeddedTickLabels::NumberFormat(const std::string& format, host::Loc where) {
  Settings(where).numberFormat = format;
}

}  // namespace dez::embedded
