// The font of a chart element (a data label, tick labels).
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "host/embedded/chart_model.h"
#include "host/range.h"

namespace dez::embedded {

/// Records font settings into the ChartFontSettings that `target` finds; `target`
/// returns nullptr once the element is gone (its series deleted), which is 1004.
class ChartFont final : public host::Font {
 public:
  using Target = std::function<ChartFontSettings*()>;
  ChartFont(std::shared_ptr<ChartModel> model, Target target) : model_(std::move(model)), target_(std::move(target)) {}

  void Name(const std::string& name, host::Loc where = host::Loc::current()) override;
  /// 1 to 409 points (1004 otherwise).
  void Size(double points, host::Loc where = host::Loc::current()) override;
  void Bold(bool bold, host::Loc where = host::Loc::current()) override;

 private:
  ChartFontSettings& Settings(host::Loc where) const;

  std::shared_ptr<ChartModel> model_;  // keeps the settings alive
  Target target_;
};

}  // namespace dez::embedded
