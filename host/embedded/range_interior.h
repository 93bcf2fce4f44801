// The fill of every cell of a range.
#pragma once

#include <cstdint>
#include <memory>

#include "host/range.h"

namespace dez::embedded {

class EmbeddedRange;

class RangeInterior final : public host::Interior {
 public:
  explicit RangeInterior(std::shared_ptr<EmbeddedRange> range) : range_(std::move(range)) {}
  /// A palette index 1..56, automatic or none (1004 otherwise). On the whole sheet
  /// (Cells.Interior) it costs nothing per cell.
  void ColorIndex(std::int16_t index, host::Loc where = host::Loc::current()) override;

 private:
  std::shared_ptr<EmbeddedRange> range_;
};

}  // namespace dez::embedded
