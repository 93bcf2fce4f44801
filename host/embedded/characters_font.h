// The font of some characters of one cell.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "host/range.h"

namespace dez::embedded {

class EmbeddedWorksheet;

/// Sets font attributes on characters start .. start + length - 1 of the cell (row,
/// column), recorded as a character run of the cell's format.
class CharactersFont final : public host::Font {
 public:
  CharactersFont(std::shared_ptr<EmbeddedWorksheet> sheet, std::int32_t row, std::int32_t column, std::int32_t start,
                 std::int32_t length)
      : sheet_(std::move(sheet)), row_(row), column_(column), start_(start), length_(length) {}

  /// Any non-empty name (1004 for an empty one).
  void Name(const std::string& name, host::Loc where = host::Loc::current()) override;
  /// 1 to 409 points (1004 otherwise).
  void Size(double points, host::Loc where = host::Loc::current()) override;
  void Bold(bool bold, host::Loc where = host::Loc::current()) override;

 private:
  std::shared_ptr<EmbeddedWorksheet> sheet_;
  std::int32_t row_;
  std::int32_t column_;
  std::int32_t start_;
  std::int32_t length_;
};

}  // namespace dez::embedded
