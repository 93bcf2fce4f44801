// One point of a chart series.
#pragma once

#include <cstdint>
#include <memory>

#include "host/chart.h"
#include "host/embedded/chart_model.h"

namespace dez::embedded {

/// Point `point` (1-based) of series `seriesId`.
class EmbeddedPoint final : public host::Point {
 public:
  EmbeddedPoint(std::shared_ptr<ChartModel> model, std::int32_t seriesId, std::int32_t point)
      : model_(std::move(model)), seriesId_(seriesId), point_(point) {}

  /// Gives the point a data label of `type` (replacing an earlier one).
  void ApplyDataLabels(std::int32_t type, host::Loc where = host::Loc::current()) override;
  /// The point's data label; 1004 when ApplyDataLabels was not called.
  std::shared_ptr<host::DataLabel> DataLabel(host::Loc where = host::Loc::current()) override;

 private:
  SeriesSettings& Series(host::Loc where) const;

  std::shared_ptr<ChartModel> model_;
  std::int32_t seriesId_;
  std::int32_t point_;
};

}  // namespace dez::embedded
