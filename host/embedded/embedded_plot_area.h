// The plot area of a chart: the rectangle its axes enclose.
#pragma once

#include <memory>

#include "host/chart.h"
#include "host/embedded/chart_model.h"

namespace dez::embedded {

/// Records the plot area's geometry as set; a writer clamps it to the chart's frame.
class EmbeddedPlotArea final : public host::PlotArea {
 public:
  explicit EmbeddedPlotArea(std::shared_ptr<ChartModel> model) : model_(std::move(model)) {}

  void ClearFormats(host::Loc where = host::Loc::current()) override;
  /// As last set, or the chart's width less two margins of PlotAreaSettings::kDefaultMargin.
  double Width() const override { return model_->PlotAreaWidth(); }
  /// Sizes and positions are finite points >= 0 (1004 otherwise).
  void Width(double points, host::Loc where = host::Loc::current()) override;
  void Left(double points, host::Loc where = host::Loc::current()) override;
  void Height(double points, host::Loc where = host::Loc::current()) override;

 private:
  std::shared_ptr<ChartModel> model_;
};

}  // namespace dez::embedded
