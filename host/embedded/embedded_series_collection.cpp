#include "host/embedded/embedded_series_collection.h"

#include <string>

#include "host/embedded/embedded_series.h"
#include "host/embedded/host_error.h"

namespace dez::embedded {

host::SeriesPtr EmbeddedSeriesCollection::Item(std::int32_t index, host::Loc where) {
  if (index < 1 || index > Count()) {
    RaiseHostError("SeriesCollection", "Invalid series index " + std::to_string(index) + " (the chart has " +
                                           std::to_string(Count()) + " series)",
                   where);
  }
  return std::make_shared<EmbeddedSeries>(model_, model_->series[static_cast<std::size_t>(index - 1)].id);
}

host::SeriesPtr EmbeddedSeriesCollection::NewSeries(host::Loc) {
  SeriesSettings& series = model_->series.emplace_back();
  series.id = ++model_->seriesMade;
  return std::make_shared<EmbeddedSeries>(model_, series.id);
}

}  // namespace dez::embedded
