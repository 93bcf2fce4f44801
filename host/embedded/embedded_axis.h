// An axis of a chart.
#pragma once

#include <cstdint>
#include <memory>

#include "host/chart.h"
#include "host/embedded/chart_model.h"

namespace dez::embedded {

/// The axis (type, group) of a chart. After Delete every member fails (1004), as does
/// asking the chart for the axis again.
class EmbeddedAxis final : public host::Axis {
 public:
  EmbeddedAxis(std::shared_ptr<ChartModel> model, std::int32_t type, std::int32_t group)
      : model_(std::move(model)), type_(type), group_(group) {}

  void HasTitle(bool on, host::Loc where = host::Loc::current()) override;
  std::shared_ptr<host::TickLabels> TickLabels() override;
  void HasMajorGridlines(bool on, host::Loc where = host::Loc::current()) override;
  void HasMinorGridlines(bool on, host::Loc where = host::Loc::current()) override;
  /// None, inside, outside or cross (1004 otherwise).
  void MajorTickMark(std::int32_t mark, host::Loc where = host::Loc::current()) override;
  void MinorTickMark(std::int32_t mark, host::Loc where = host::Loc::current()) override;
  /// A finite unit > 0 (1004 otherwise); setting it turns the automatic unit off.
  void MajorUnit(double unit, host::Loc where = host::Loc::current()) override;
  void MinorUnit(double unit, host::Loc where = host::Loc::current()) override;
  void MajorUnitIsAuto(bool on, host::Loc where = host::Loc::current()) override;
  void MinorUnitIsAuto(bool on, host::Loc where = host::Loc::current()) override;
  /// A finite value (1004 otherwise).
  void MaximumScale(double value, host::Loc where = host::Loc::current()) override;
  void MinimumScale(double value, host::Loc where = host::Loc::current()) override;
  void ReversePlotOrder(bool on, host::Loc where = host::Loc::current()) override;
  void Delete(host::Loc where = host::Loc::current()) override;

 private:
  AxisSettings& Settings(host::Loc where) const;

  std::shared_ptr<ChartModel> model_;
  std::int32_t type_;
  std::int32_t group_;
};

}  // namespace dez::embedded
