// One series of a chart.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "host/chart.h"
#include "host/embedded/chart_model.h"

namespace dez::embedded {

/// The series `seriesId` of a chart. Every member of a deleted series fails (1004).
class EmbeddedSeries final : public host::Series {
 public:
  EmbeddedSeries(std::shared_ptr<ChartModel> model, std::int32_t seriesId)
      : model_(std::move(model)), seriesId_(seriesId) {}

  std::int32_t Id() const { return seriesId_; }

  /// Finite values only (1004 otherwise).
  void XValues(const std::vector<double>& values, host::Loc where = host::Loc::current()) override;
  void Values(const std::vector<double>& values, host::Loc where = host::Loc::current()) override;
  void MarkerStyle(std::int32_t style, host::Loc where = host::Loc::current()) override;
  std::shared_ptr<host::Border> Border() override;
  /// Points(index): 1 to the number of points, the longer of XValues and Values (1004).
  host::PointPtr Points(std::int32_t index, host::Loc where = host::Loc::current()) override;
  void Delete(host::Loc where = host::Loc::current()) override;

 private:
  SeriesSettings& Settings(host::Loc where) const;

  std::shared_ptr<ChartModel> model_;
  std::int32_t seriesId_;
};

}  // namespace dez::embedded
