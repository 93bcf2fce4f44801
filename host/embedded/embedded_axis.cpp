#include "host/embedded/embedded_axis.h"

#include <cmath>

#include "host/embedded/setting_checks.h"
#include "host/embedded/embedded_tick_labels.h"
#include "host/embedded/host_error.h"
#include "host/embedded/object_model_constants.h"

namespace dez::embedded {

namespace {
bool IsTickMark(std::int32_t mark) {
  return mark == kTickMarkNone || mark == kTickMarkInside || mark == kTickMarkOutside || mark == kTickMarkCross;
}
}  // namespace

AxisSettings& EmbeddedAxis::Settings(host::Loc where) const {
  AxisSettings& axis = model_->Axis(type_, group_);
  if (axis.deleted) RaiseHostError("Axis", "The axis was deleted", where);
  return axis;
}

void EmbeddedAxis::HasTitle(bool on, host::Loc where) { Settings(where).hasTitle = on; }

std::shared_ptr<host::TickLabels> EmbeddedAxis::TickLabels() {
  return std::make_shared<EmbeddedTickLabels>(model_, type_, group_);
}

void EmbeddedAxis::HasMajorGridlines(bool on, host::Loc where) { Settings(where).hasMajorGridlines = on; }
void EmbeddedAxis::HasMinorGridlines(bool on, host::Loc where) { Settings(where).hasMinorGridlines = on; }

void EmbeddedAxis::MajorTickMark(std::int32_t mark, host::Loc where) {
  RequireSetting(IsTickMark(mark), "Axis", "MajorTickMark", where);
  Settings(where).majorTickMark = mark;
}

void EmbeddedAxis::MinorTickMark(std::int32_t mark, host::Loc where) {
  RequireSetting(IsTickMark(mark), "Axis", "MinorTickMark", where);
  Settings(where).minorTickMark = mark;
}

void EmbeddedAxis::MajorUnit(double unit, host::Loc where) {
  RequireSetting(std::isfinite(unit) && unit > 0.0, "Axis", "MajorUnit", where);
  AxisSettings& axis = Settings(where);
  axis.majorUnit = unit;
  axis.majorUnitIsAuto = false;
}

void EmbeddedAxis::MinorUnit(double unit, host::Loc where) {
  RequireSetting(std::isfinite(unit) && unit > 0.0, "Axis", "MinorUnit", where);
  AxisSettings& axis = Settings(where);
  axis.minorUnit = unit;
  axis.minorUnitIsAuto = false;
}

void EmbeddedAxis::MajorUnitIsAuto(bool on, host::Loc where) { Settings(where).majorUnitIsAuto = on; }
void EmbeddedAxis::MinorUnitIsAuto(bool on, host::Loc where) { Settings(where).minorUnitIsAuto = on; }

void EmbeddedAxis::MaximumScale(double value, host::Loc where) {
  RequireSetting(std::isfinite(value), "Axis", "MaximumScale", where);
  Settings(where).maximumScale = value;
}

void EmbeddedAxis::MinimumScale(double value, host::Loc where) {
  RequireSetting(std::isfinite(value), "Axis", "MinimumScale", where);
  Settings(where).minimumScale = value;
}

void EmbeddedAxis::ReversePlotOrder(bool on, host::Loc where) { Settings(where).reversePlotOrder = on; }

void EmbeddedAxis::Delete(host::Loc where) { Settings(where).deleted = true; }

}  // namespace dez::embedded
