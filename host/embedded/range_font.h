// The font of every cell of a range.
#pragma once

#include <memory>
#include <string>

#include "host/range.h"

namespace dez::embedded {

class EmbeddedRange;

/// Sets font attributes on every cell of a range. Setting one for whole cells replaces
/// that attribute in the cells' character runs too.
class RangeFont final : public host::Font {
 public:
  explicit RangeFont(std::shared_ptr<EmbeddedRange> range) : range_(std::move(range)) {}

  /// Any non-empty name (1004 for an empty one).
  void Name(const std::string& name, host::Loc where = host::Loc::current()) override;
  /// 1 to 409 points (1004 otherwise).
  void Size(double points, host::Loc where = host::Loc::current()) override;
  void Bold(bool bold, host::Loc where = host::Loc::current()) override;

 private:
  std::shared_ptr<EmbeddedRange> range_;
};

}  // namespace dez::embedded
