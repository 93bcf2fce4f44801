#include "host/embedded/embedded_point.h"

#include "host/embedded/embedded_data_label.h"
#include "host/embedded/host_error.h"

namespace dez::embedded {

SeriesSettings& EmbeddedPoint::Series(host::Loc where) const {
  SeriesSettings* series = model_->FindSeries(seriesId_);
  if (!series) RaiseHostError("Point", "The series of this point was deleted", where);
  return *series;
}

void EmbeddedPoint::ApplyDataLabels(std::int32_t type, host::Loc where) {
  DataLabelSettings label;
  label.type = type;
  Series(where).dataLabels[point_] = label;
}

std::shared_ptr<host::DataLabel> EmbeddedPoint::DataLabel(host::Loc where) {
  if (!Series(where).dataLabels.contains(point_)) {
    RaiseHostError("Point", "Unable to get the DataLabel property of the Point class: the point has no data label",
                   where);
  }
  return std::make_shared<EmbeddedDataLabel>(model_, seriesId_, point_);
}

}  // namespace dez::embedded
