#include "host/embedded/embedded_chart.h"

#include "host/embedded/embedded_axis.h"
#include "host/embedded/embedded_chart_area.h"
#include "host/embedded/embedded_plot_area.h"
#include "host/embedded/embedded_range.h"
#include "host/embedded/embedded_series_collection.h"
#include "host/embedded/embedded_workbook.h"
#include "host/embedded/embedded_worksheet.h"
#include "host/embedded/host_error.h"
#include "host/embedded/object_model_constants.h"
#include "runtime/error.h"

namespace dez::embedded {

namespace {
constexpr std::int32_t kAxisSeries = 3;
}  // namespace

EmbeddedChart::EmbeddedChart(std::weak_ptr<EmbeddedWorkbook> book, std::string chartSheetName)
    : model_(std::make_shared<ChartModel>()), book_(std::move(book)) {
  model_->chartSheetName = std::move(chartSheetName);
  if (const auto b = book_.lock()) model_->workbookName = b->Name();
}

void EmbeddedChart::SetEmbedding(const std::shared_ptr<EmbeddedWorksheet>& sheet, std::string objectName) {
  sheet_ = sheet;
  model_->embedded = sheet != nullptr;
  model_->objectName = sheet ? std::move(objectName) : std::string();
}

std::string EmbeddedChart::Name() const {
  if (const auto sheet = HostSheet()) return sheet->Name() + " " + model_->objectName;
  return model_->chartSheetName;
}

void EmbeddedChart::ChartType(std::int32_t type, host::Loc) { model_->chartType = type; }

void EmbeddedChart::SetSourceData(const host::RangePtr& source, host::Loc where) {
  if (!source) Raise(fault::kObjectNotSet, "Chart", "SetSourceData needs a range", where);
  const host::WorksheetPtr sheet = source->Worksheet();
  model_->sourceSheet = sheet ? sheet->Name() : std::string();
  model_->sourceAddress = source->Address();
}

void EmbeddedChart::Location(std::int32_t where_, const std::string& sheetName, host::Loc where) {
  if (where_ != kLocationAsObject && where_ != kLocationAsNewSheet) {
    RaiseHostError("Chart", "Location method of Chart class failed: unknown location " + std::to_string(where_), where);
  }
  std::shared_ptr<EmbeddedWorksheet> target;
  if (where_ == kLocationAsObject) {
    const auto book = book_.lock();
    target = book ? book->FindSheet(sheetName) : nullptr;
    if (!target) {
      RaiseHostError("Chart", "Location method of Chart class failed: the workbook has no worksheet named '" +
                                  sheetName + "'",
                     where);
    }
  }
  if (const auto current = HostSheet()) current->RemoveChart(*this);
  if (target) {
    target->EmbedChart(shared_from_this());
  } else {
    SetEmbedding(nullptr, {});
    if (!sheetName.empty()) model_->chartSheetName = sheetName;
  }
}

void EmbeddedChart::HasLegend(bool on, host::Loc) { model_->hasLegend = on; }

std::shared_ptr<host::SeriesCollection> EmbeddedChart::SeriesCollection() {
  return std::make_shared<EmbeddedSeriesCollection>(model_);
}

std::shared_ptr<host::ChartArea> EmbeddedChart::ChartArea() { return std::make_shared<EmbeddedChartArea>(model_); }

std::shared_ptr<host::PlotArea> EmbeddedChart::PlotArea() { return std::make_shared<EmbeddedPlotArea>(model_); }

host::AxisPtr EmbeddedChart::Axes(std::int32_t type, std::int32_t group, host::Loc where) {
  const bool knownType = type == kAxisCategory || type == kAxisValue || type == kAxisSeries;
  const bool knownGroup = group == kAxisGroupPrimary || group == kAxisGroupSecondary;
  if (!knownType || !knownGroup) {
    RaiseHostError("Chart", "Unable to get the Axes property of the Chart class: no axis of type " +
                                std::to_string(type) + " in group " + std::to_string(group),
                   where);
  }
  if (model_->Axis(type, group).deleted) {
    RaiseHostError("Chart", "Unable to get the Axes property of the Chart class: the axis was deleted", where);
  }
  return std::make_shared<EmbeddedAxis>(model_, type, group);
}

}  // namespace dez::embedded
