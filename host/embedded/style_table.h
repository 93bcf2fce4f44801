// The interned cell formats of a workbook.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <unordered_map>

#include "host/embedded/cell_style.h"

namespace dez::embedded {

/// Small id of an interned cell format; 0 is the default format `CellStyle{}`.
using StyleId = std::uint32_t;
inline constexpr StyleId kDefaultStyleId = 0;

/// Every distinct cell format of a workbook, stored once. Cells refer to a format by its
/// id, so a format costs the same whether one cell or a million use it.
///
/// Ids are dense (0 .. size() - 1) and never change or disappear: a format that no cell
/// uses any more stays in the table. References returned by `Get` stay valid for the
/// table's lifetime.
class StyleTable {
 public:
  StyleTable();

  /// The id of `style`, adding it when it is new. O(1) on average.
  StyleId Intern(const CellStyle& style);

  /// The format of `id`; `id` must be below size().
  const CellStyle& Get(StyleId id) const { return styles_[id]; }

  /// The id of the format `id` changed by `edit(CellStyle&)`.
  template <class Edit>
  StyleId Derive(StyleId id, Edit&& edit) {
    CellStyle style = Get(id);
    edit(style);
    return Intern(style);
  }

  /// Number of formats, the default one included.
  std::size_t size() const { return styles_.size(); }

 private:
  std::deque<CellStyle> styles_;  // a deque keeps references stable while it grows
  std::unordered_map<CellStyle, StyleId, CellStyleHash> ids_;
};

}  // namespace dez::embedded
