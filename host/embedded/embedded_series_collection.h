// The series of a chart as a collection.
#pragma once

#include <cstdint>
#include <memory>

#include "host/chart.h"
#include "host/embedded/chart_model.h"

namespace dez::embedded {

class EmbeddedSeriesCollection final : public host::SeriesCollection {
 public:
  explicit EmbeddedSeriesCollection(std::shared_ptr<ChartModel> model) : model_(std::move(model)) {}

  std::int32_t Count() const override { return static_cast<std::int32_t>(model_->series.size()); }
  /// Item(index): 1 .. Count (1004 otherwise).
  host::SeriesPtr Item(std::int32_t index, host::Loc where = host::Loc::current()) override;
  /// A new series without points, placed last.
  host::SeriesPtr NewSeries(host::Loc where = host::Loc::current()) override;

 private:
  std::shared_ptr<ChartModel> model_;
};

}  // namespace dez::embedded
