// The tick labels of a chart axis.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "host/chart.h"
#include "host/embedded/chart_model.h"

namespace dez::embedded {

/// Tick labels of the axis (type, group) of a chart.
class EmbeddedTickLabels final : public host::TickLabels {
 public:
  EmbeddedTickLabels(std::shared_ptr<ChartModel> model, std::int32_t type, std::int32_t group)
      : model_(std::move(model)), type_(type), group_(group) {}

  void AutoScaleFont(bool on, host::Loc where = host::Loc::current()) override;
  host::FontPtr Font() override;
  void NumberFormat(const std::string& format, host::Loc where = host::Loc::current()) override;

 private:
  TickLabelSettings& Settings(host::Loc where) const;

  std::shared_ptr<ChartModel> model_;
  std::int32_t type_;
  std::int32_t group_;
};

}  // namespace dez::embedded
