#include "host/embedded/embedded_data_label.h"

#include "host/embedded/chart_font.h"
#include "host/embedded/host_error.h"

namespace dez::embedded {

DataLabelSettings* EmbeddedDataLabel::Find() const {
  SeriesSettings* series = model_->FindSeries(seriesId_);
  if (!series) return nullptr;
  const auto it = series->dataLabels.find(point_);
  return it == series->dataLabels.end() ? nullptr : &it->second;
}

DataLabelSettings& EmbeddedDataLabel::Settings(host::Loc where) const {
  DataLabelSettings* label = Find();
  if (!label) RaiseHostError("DataLabel", "The data label no longer exists", where);
  return *label;
}

void EmbeddedDataLabel::Text(const std::string& text, host::Loc where) { Settings(where).text = text; }

void EmbeddedDataLabel::AutoScaleFont(bool on, host::Loc where) { Settings(where).autoScaleFont = on; }

host::FontPtr EmbeddedDataLabel::Font() {
  // The font outlives this handle possibly, so it finds the label anew from the model.
  ChartModel* model = model_.get();
  return std::make_shared<ChartFont>(model_, [model, series = seriesId_, point = point_]() -> ChartFontSettings* {
    SeriesSettings* s = model->FindSeries(series);
    if (!s) return nullptr;
    const auto it = s->dataLabels.find(point);
    return it == s->dataLabels.end() ? nullptr : &it->second.font;
  });
}

void EmbeddedDataLabel::Position(std::int32_t position, host::Loc where) { Settings(where).position = position; }

}  // namespace dez::embedded
