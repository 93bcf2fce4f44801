// Characters(Start, Length) of one cell.
#pragma once

#include <cstdint>
#include <memory>

#include "host/range.h"

namespace dez::embedded {

class EmbeddedWorksheet;

class EmbeddedCharacters final : public host::Characters {
 public:
  EmbeddedCharacters(std::shared_ptr<EmbeddedWorksheet> sheet, std::int32_t row, std::int32_t column,
                     std::int32_t start, std::int32_t length)
      : sheet_(std::move(sheet)), row_(row), column_(column), start_(start), length_(length) {}

  host::FontPtr Font() override;

 private:
  std::shared_ptr<EmbeddedWorksheet> sheet_;
  std::int32_t row_;
  std::int32_t column_;
  std::int32_t start_;
  std::int32_t length_;
};

}  // namespace dez::embedded
