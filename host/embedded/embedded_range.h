// A range of the embedded application: one or more blocks of one worksheet.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include <boost/container/small_vector.hpp>

#include "host/embedded/cell_block.h"
#include "host/embedded/cell_style.h"
#include "host/range.h"

namespace dez::embedded {

class EmbeddedWorksheet;

/// A range: areas (blocks) of one sheet, the first of which the shape members describe.
///
/// Reading members (`Value`, `Rows.Count`, `Cells`, `Address`...) look at the first area
/// or the top-left cell, as the host's do; writing and formatting members act on every
/// area. A range refers to its cells, it does not hold them: a range made before a write
/// shows the written value.
class EmbeddedRange final : public host::Range, public std::enable_shared_from_this<EmbeddedRange> {
 public:
  /// A range of `sheet` made of `areas` (at least one, each on the sheet).
  EmbeddedRange(std::shared_ptr<EmbeddedWorksheet> sheet, std::vector<CellBlock> areas);
  /// A one-area range.
  EmbeddedRange(std::shared_ptr<EmbeddedWorksheet> sheet, const CellBlock& area);

  const std::shared_ptr<EmbeddedWorksheet>& Sheet() const { return sheet_; }
  std::span<const CellBlock> Areas() const { return {areas_.data(), areas_.size()}; }
  const CellBlock& FirstArea() const { return areas_.front(); }
  /// Applies `edit` to the format of every cell of every area.
  void EditFormat(const std::function<void(CellStyle&)>& edit, host::Loc where);

  // Shape
  std::int32_t AreasCount() const override { return static_cast<std::int32_t>(areas_.size()); }
  std::int32_t RowsCount() const override { return FirstArea().Rows(); }
  std::int32_t ColumnsCount() const override { return FirstArea().Columns(); }
  /// Columns(i): column i of the first area, counted from its left edge; i may pass the
  /// right edge (as the host allows), but not the sheet's (1004), and must be >= 1 (1004).
  host::RangePtr Columns(std::int32_t index, host::Loc where = host::Loc::current()) const override;
  /// Cells(row, column) relative to the top-left cell: Cells(1, 1) is that cell, Cells(0, 1)
  /// the one above it, any cell of the sheet can be reached; off the sheet is 1004.
  host::RangePtr Cells(std::int32_t row, std::int32_t column, host::Loc where = host::Loc::current()) const override;
  std::int32_t Row() const override { return FirstArea().top; }
  std::int32_t Column() const override { return FirstArea().left; }
  /// "$B$5", "$A$1:$F$21", areas joined by ",".
  std::string Address() const override;
  host::WorksheetPtr Worksheet() const override;

  // Values
  /// The first area's values, 1-based (1 x 1 for one cell). Out of memory (7) beyond
  /// kMaxCellsPerOperation cells.
  VariantMatrix Value(host::Loc where = host::Loc::current()) const override;
  Variant CellValue(host::Loc where = host::Loc::current()) const override;
  /// Writes `value` to every cell of every area; Empty clears the values, keeping formats.
  void SetValue(const Variant& value, host::Loc where = host::Loc::current()) override;
  /// Assigns a one-dimensional array: every row of every area gets values[0], values[1],
  /// ... from its left cell on; cells past the array's end get #N/A, as in the host.
  void SetRowValues(std::span<const Variant> values, host::Loc where = host::Loc::current()) override;

  // Clipboard and selection
  /// Puts the range on the application's clipboard. One area only (1004 otherwise).
  void Copy(host::Loc where = host::Loc::current()) override;
  /// Pastes the clipboard's values and formats with its top-left cell at this range's
  /// top-left cell: the paste kind all (-4104), the one the component uses. Another kind,
  /// an empty clipboard or a target off the sheet is 1004.
  void PasteSpecial(std::int32_t pasteKind, host::Loc where = host::Loc::current()) override;
  /// Selects the range. Its sheet must be the active sheet of the active workbook (1004).
  void Select(host::Loc where = host::Loc::current()) override;
  /// Clears values and formats.
  void Clear(host::Loc where = host::Loc::current()) override;

  // Formats
  void NumberFormat(const std::string& format, host::Loc where = host::Loc::current()) override;
  /// One of the alignment values of object_model_constants.h; another value is 1004.
  void HorizontalAlignment(std::int32_t alignment, host::Loc where = host::Loc::current()) override;
  host::FontPtr Font() override;
  host::InteriorPtr Interior() override;
  /// Characters(start, length) of the top-left cell: start >= 1 and length >= 0 (1004).
  host::CharactersPtr Characters(std::int32_t start, std::int32_t length,
                                 host::Loc where = host::Loc::current()) override;

  // Geometry in points, of the first area
  double Top() const override;
  double Left() const override;
  double Height() const override;
  double Width() const override;

 private:
  std::shared_ptr<EmbeddedWorksheet> sheet_;
  // Nearly every range has one area: it is held inline, without an allocation.
  boost::container::small_vector<CellBlock, 1> areas_;
};

}  // namespace dez::embedded
