#include "host/embedded/chart_border.h"

#include "host/embedded/setting_checks.h"
#include "host/embedded/host_error.h"
#include "host/embedded/object_model_constants.h"

namespace dez::embedded {

namespace {
constexpr std::int32_t kLineStyleDashDot = 4;
constexpr std::int32_t kLineStyleDashDotDot = 5;
constexpr std::int32_t kLineStyleDouble = -4119;
constexpr std::int32_t kLineStyleSlantDashDot = 13;
}  // namespace

ChartBorderSettings& ChartBorder::Settings(host::Loc where) const {
  SeriesSettings* series = model_->FindSeries(seriesId_);
  if (!series) RaiseHostError("Border", "The series of this border was deleted", where);
  return series->border;
}

void ChartBorder::ColorIndex(std::int32_t index, host::Loc where) {
  RequireSetting(IsColorIndex(index), "Border", "ColorIndex", where);
  Settings(where).colorIndex = index;
}

void ChartBorder::Weight(std::int32_t weight, host::Loc where) {
  const bool known = weight == kLineWeightHairline || weight == kLineWeightThin || weight == kLineWeightMedium ||
                     weight == kLineWeightThick;
  RequireSetting(known, "Border", "Weight", where);
  Settings(where).weight = weight;
}

void ChartBorder::LineStyle(std::int32_t style, host::Loc where) {
  const bool known = style == kLineStyleContinuous || style == kLineStyleDash || style == kLineStyleDot ||
                     style == kLineStyleNone || style == kLineStyleDashDot || style == kLineStyleDashDotDot ||
                     style == kLineStyleDouble || style == kLineStyleSlantDashDot;
  RequireSetting(known, "Border", "LineStyle", where);
  Settings(where).lineStyle = style;
}

}  // namespace dez::embedded
