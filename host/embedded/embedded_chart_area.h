// The chart area (the whole face) of a chart.
#pragma once

#include <memory>

#include "host/chart.h"
#include "host/embedded/chart_model.h"

namespace dez::embedded {

class EmbeddedChartArea final : public host::ChartArea {
 public:
  explicit EmbeddedChartArea(std::shared_ptr<ChartModel> model) : model_(std::move(model)) {}
  void AutoScaleFont(bool on, host::Loc where = host::Loc::current()) override;
  host::InteriorPtr Interior() override;

 private:
  std::shared_ptr<ChartModel> model_;
};

}  // namespace dez::embedded
