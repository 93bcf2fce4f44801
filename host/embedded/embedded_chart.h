// A chart of the embedded application.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "host/chart.h"
#include "host/embedded/chart_model.h"

namespace dez::embedded {

class EmbeddedWorkbook;
class EmbeddedWorksheet;

/// A chart: made by Charts.Add as a chart sheet of a workbook, embedded in one of that
/// workbook's worksheets by Location. Every setting made through it or its parts (series,
/// points, labels, axes, areas, shape) is recorded in its ChartModel, which a writer reads.
class EmbeddedChart final : public host::Chart, public std::enable_shared_from_this<EmbeddedChart> {
 public:
  EmbeddedChart(std::weak_ptr<EmbeddedWorkbook> book, std::string chartSheetName);

  /// Everything set so far.
  const ChartModel& Model() const { return *model_; }
  /// The model shared with the chart's parts.
  const std::shared_ptr<ChartModel>& SharedModel() const { return model_; }
  /// The worksheet holding the chart, or nullptr while it is a chart sheet.
  std::shared_ptr<EmbeddedWorksheet> HostSheet() const { return sheet_.lock(); }
  /// Called by the worksheet that embeds the chart (or with nullptr when it lets go).
  void SetEmbedding(const std::shared_ptr<EmbeddedWorksheet>& sheet, std::string objectName);

  /// "<sheet name> <object name>" once embedded ("Results Chart 1"), else the chart sheet's name.
  std::string Name() const override;
  void ChartType(std::int32_t type, host::Loc where = host::Loc::current()) override;
  /// Records the source block's sheet and address (91 for a missing range).
  void SetSourceData(const host::RangePtr& source, host::Loc where = host::Loc::current()) override;
  /// As object (2): embeds the chart in the worksheet `sheetName` of its workbook (1004
  /// when there is none). As new sheet (1): makes it a chart sheet of that name again.
  /// Another value is 1004.
  void Location(std::int32_t where_, const std::string& sheetName, host::Loc where = host::Loc::current()) override;
  void HasLegend(bool on, host::Loc where = host::Loc::current()) override;
  std::shared_ptr<host::SeriesCollection> SeriesCollection() override;
  std::shared_ptr<host::ChartArea> ChartArea() override;
  std::shared_ptr<host::PlotArea> PlotArea() override;
  /// Axes(type, group): type category (1), value (2) or series (3), group primary (1) or
  /// secondary (2); another value, or an axis that was deleted, is 1004.
  host::AxisPtr Axes(std::int32_t type, std::int32_t group = 1, host::Loc where = host::Loc::current()) override;

 private:
  std::shared_ptr<ChartModel> model_;
  std::weak_ptr<EmbeddedWorkbook> book_;
  std::weak_ptr<EmbeddedWorksheet> sheet_;
};

}  // namespace dez::embedded
