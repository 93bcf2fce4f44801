// The line of a chart series.
#pragma once

#include <cstdint>
#include <memory>

#include "host/chart.h"
#include "host/embedded/chart_model.h"

namespace dez::embedded {

/// Border of the series `seriesId` of a chart: records colour, weight and style.
class ChartBorder final : public host::Border {
 public:
  ChartBorder(std::shared_ptr<ChartModel> model, std::int32_t seriesId) : model_(std::move(model)), seriesId_(seriesId) {}

  /// A palette index 1..56, automatic or none (1004 otherwise).
  void ColorIndex(std::int32_t index, host::Loc where = host::Loc::current()) override;
  /// Hairline, thin, medium or thick (1004 otherwise).
  void Weight(std::int32_t weight, host::Loc where = host::Loc::current()) override;
  /// Continuous, dash, dash-dot, dash-dot-dot, dot, double, slanted dash-dot or none (1004 otherwise).
  void LineStyle(std::int32_t style, host::Loc where = host::Loc::current()) override;

 private:
  ChartBorderSettings& Settings(host::Loc where) const;

  std::shared_ptr<ChartModel> model_;
  std::int32_t seriesId_;
};

}  // namespace dez::embedded
