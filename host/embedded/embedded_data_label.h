// The data label of one point of a chart series.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "host/chart.h"
#include "host/embedded/chart_model.h"

namespace dez::embedded {

/// Records the settings of the label of point `point` of series `seriesId`.
class EmbeddedDataLabel final : public host::DataLabel {
 public:
  EmbeddedDataLabel(std::shared_ptr<ChartModel> model, std::int32_t seriesId, std::int32_t point)
      : model_(std::move(model)), seriesId_(seriesId), point_(point) {}

  void Text(const std::string& text, host::Loc where = host::Loc::current()) override;
  void AutoScaleFont(bool on, host::Loc where = host::Loc::current()) override;
  host::FontPtr Font() override;
  /// Any label position value is recorded; the writer maps it.
  void Position(std::int32_t position, host::Loc where = host::Loc::current()) override;

 private:
  DataLabelSettings* Find() const;
  DataLabelSettings& Settings(host::Loc where) const;

  std::shared_ptr<ChartModel> model_;
  std::int32_t seriesId_;
  std::int32_t point_;
};

}  // namespace dez::embedded
