#include "host/embedded/embedded_shape.h"

#include "host/embedded/setting_checks.h"

namespace dez::embedded {

void EmbeddedShape::Left(double points, host::Loc where) {
  RequireSetting(IsPointSize(points), "Shape", "Left", where);
  model_->shape.left = points;
}

void EmbeddedShape::Top(double points, host::Loc where) {
  RequireSetting(IsPointSize(points), "Shape", "Top", where);
  model_->shape.top = points;
}

void EmbeddedShape::Width(double points, host::Loc where) {
  RequireSetting(IsPointSize(points), "Shape", "Width", where);
  model_->shape.width = points;
}

void EmbeddedShape::Height(double points, host::Loc where) {
  RequireSetting(IsPointSize(points), "Shape", "Height", where);
  model_->shape.height = points;
}

}  // namespace dez::embedded
