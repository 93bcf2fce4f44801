#include "host/embedded/embedded_plot_area.h"

#include "host/embedded/setting_checks.h"

namespace dez::embedded {

void EmbeddedPlotArea::ClearFormats(host::Loc) { model_->plotArea.formatsCleared = true; }

void EmbeddedPlotArea::Width(double points, host::Loc where) {
  RequireSetting(IsPointSize(points), "PlotArea", "Width", where);
  model_->plotArea.width = points;
}

void EmbeddedPlotArea::Left(double points, host::Loc where) {
  RequireSetting(IsPointSize(points), "PlotArea", "Left", where);
  model_->plotArea.left = points;
}

void EmbeddedPlotArea::Height(double points, host::Loc where) {
  RequireSetting(IsPointSize(points), "PlotArea", "Height", where);
  model_->plotArea.height = points;
}

}  // namespace dez::embedded
