// The fill of a chart's chart area.
#pragma once

#include <cstdint>
#include <memory>

#include "host/embedded/chart_model.h"
#include "host/range.h"

namespace dez::embedded {

class ChartInterior final : public host::Interior {
 public:
  explicit ChartInterior(std::shared_ptr<ChartModel> model) : model_(std::move(model)) {}
  /// A palette index 1..56, automatic or none (1004 otherwise).
  void ColorIndex(std::int16_t index, host::Loc where = host::Loc::current()) override;

 private:
  std::shared_ptr<ChartModel> model_;
};

}  // namespace dez::embedded
