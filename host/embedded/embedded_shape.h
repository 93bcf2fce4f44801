// The frame of a chart embedded in a worksheet.
#pragma once

#include <memory>

#include "host/chart.h"
#include "host/embedded/chart_model.h"

namespace dez::embedded {

/// Position and size of an embedded chart, in points from the sheet's top-left corner.
class EmbeddedShape final : public host::Shape {
 public:
  explicit EmbeddedShape(std::shared_ptr<ChartModel> model) : model_(std::move(model)) {}

  const ShapeGeometry& Geometry() const { return model_->shape; }

  /// Finite points; positions >= 0 and sizes >= 0 (1004 otherwise).
  void Left(double points, host::Loc where = host::Loc::current()) override;
  void Top(double points, host::Loc where = host::Loc::current()) override;
  void Width(double points, host::Loc where = host::Loc::current()) override;
  void Height(double points, host::Loc where = host::Loc::current()) override;

 private:
  std::shared_ptr<ChartModel> model_;
};

}  // namespace dez::embedded
