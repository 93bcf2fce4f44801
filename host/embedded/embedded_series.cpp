#include "host/embedded/embedded_series.h"

#include <algorithm>
#include <cmath>

#include "host/embedded/chart_border.h"
#include "host/embedded/setting_checks.h"
#include "host/embedded/embedded_point.h"
#include "host/embedded/host_error.h"

namespace dez::embedded {

namespace {
bool AllFinite(const std::vector<double>& values) {
  return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
}
}  // namespace

SeriesSettings& EmbeddedSeries::Settings(host::Loc where) const {
  SeriesSettings* series = model_->FindSeries(seriesId_);
  if (!series) RaiseHostError("Series", "The series was deleted", where);
  return *series;
}

void EmbeddedSeries::XValues(const std::vector<double>& values, host::Loc where) {
  SeriesSettings& series = Settings(where);
  RequireSetting(AllFinite(values), "Series", "XValues", where);
  series.xValues = values;
}

void EmbeddedSeries::Values(const std::vector<double>& values, host::Loc where) {
  SeriesSettings& series = Settings(where);
  RequireSetting(AllFinite(values), "Series", "Values", where);
  series.values = values;
}

void EmbeddedSeries::MarkerStyle(std::int32_t style, host::Loc where) { Settings(where).markerStyle = style; }

std::shared_ptr<host::Border> EmbeddedSeries::Border() { return std::make_shared<ChartBorder>(model_, seriesId_); }

host::PointPtr EmbeddedSeries::Points(std::int32_t index, host::Loc where) {
  const SeriesSettings& series = Settings(where);
  const auto count = static_cast<std::int32_t>(std::max(series.xValues.size(), series.values.size()));
  if (index < 1 || index > count) {
    RaiseHostError("Series", "Unable to get the Points property of the Series class: point " + std::to_string(index) +
                                 " of a series of " + std::to_string(count) + " points",
                   where);
  }
  return std::make_shared<EmbeddedPoint>(model_, seriesId_, index);
}

void EmbeddedSeries::Delete(host::Loc where) {
  (void)Settings(where);
  std::erase_if(model_->series, [&](const SeriesSettings& s) { return s.id == seriesId_; });
}

}  // namespace dez::embedded
