// The cells of one worksheet, stored sparsely.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "host/embedded/cell_block.h"
#include "host/embedded/style_table.h"
#include "runtime/variant.h"

namespace dez::embedded {

/// One stored cell: its column, the id of its format in the workbook's StyleTable, and
/// its value. 48 bytes.
struct Cell {
  std::int32_t column = 1;
  StyleId style = kDefaultStyleId;
  Variant value;
};

/// One stored row: its number and its cells, sorted by column without repeats.
struct CellRow {
  std::int32_t row = 1;
  std::vector<Cell> cells;
};

/// The cells of a worksheet.
///
/// Only rows that hold a cell are stored, in a vector sorted by row number; each row
/// holds only its stored cells, sorted by column. A cell is stored when it holds a value
/// or a format other than the sheet's default format; every other cell is empty and has
/// the default format. A lookup is two binary searches, O(log rows + log cells of the
/// row); writing rows in increasing order and each row's cells in increasing column order
/// only appends. Memory is about 48 bytes per stored cell plus 32 per stored row.
///
/// Positions passed in must lie on the sheet (1..kMaxRows, 1..kMaxColumns); the owning
/// worksheet checks them and raises the host's error otherwise.
class CellStore {
 public:
  /// Maps a format id to another one (for example from another workbook's table).
  using StyleMap = std::function<StyleId(StyleId)>;

  /// The format of every cell that stores none of its own.
  StyleId DefaultStyle() const { return defaultStyle_; }
  /// Changes the default format. Stored cells keep theirs; cells whose format becomes the
  /// default stay stored (harmless) until they are written again.
  void SetDefaultStyle(StyleId style) { defaultStyle_ = style; }

  // --- Reading -------------------------------------------------------------------------

  /// The stored cell at (row, column), or nullptr.
  const Cell* Find(std::int32_t row, std::int32_t column) const;
  /// The value at (row, column); Empty for a cell that is not stored.
  const Variant& ValueAt(std::int32_t row, std::int32_t column) const;
  /// The format at (row, column); the default format for a cell that is not stored.
  StyleId StyleAt(std::int32_t row, std::int32_t column) const;

  /// The stored rows in increasing row order, each with its cells in column order.
  std::span<const CellRow> Rows() const { return rows_; }
  /// Calls f(row, const Cell&) for every stored cell, row by row, left to right.
  template <class F>
  void ForEach(F&& f) const {
    for (const CellRow& r : rows_) {
      for (const Cell& c : r.cells) f(r.row, c);
    }
  }
  /// Calls f(row, const Cell&) for every stored cell inside `block`, in the same order.
  template <class F>
  void ForEachIn(const CellBlock& block, F&& f) const {
    for (auto r = FirstRowAtOrAfter(block.top); r != rows_.end() && r->row <= block.bottom; ++r) {
      for (auto c = FirstCellAtOrAfter(r->cells, block.left); c != r->cells.end() && c->column <= block.right; ++c) {
        f(r->row, *c);
      }
    }
  }
  /// The smallest block holding every stored cell (values and formatted empty cells), or
  /// nothing for an empty sheet.
  std::optional<CellBlock> UsedBlock() const;
  /// Number of stored cells.
  std::size_t CellCount() const { return cellCount_; }
  /// True when some cell of `block` holds a value (a format alone does not count).
  bool HasValueIn(const CellBlock& block) const;

  // --- Writing -------------------------------------------------------------------------

  /// Stores `value` with format `style` at (row, column); an Empty value with the default
  /// format removes the cell.
  void Set(std::int32_t row, std::int32_t column, Variant value, StyleId style);
  /// Stores `value` at (row, column), keeping the cell's format.
  void SetValue(std::int32_t row, std::int32_t column, Variant value);
  /// Stores `value` at (row, column) and gives the cell the format restyle(its format)
  /// (StyleId(StyleId)), with one search.
  template <class Restyle>
  void SetValueAndRestyle(std::int32_t row, std::int32_t column, Variant value, Restyle&& restyle) {
    Cell& cell = Obtain(row, column);
    cell.style = restyle(cell.style);
    cell.value = std::move(value);
    if (cell.value.IsEmpty() && cell.style == defaultStyle_) Erase(row, column);
  }
  /// Gives every cell of `block` the format restyle(its format), storing cells as needed.
  /// The caller bounds the block's size: every cell of it is visited.
  void RestyleBlock(const CellBlock& block, const StyleMap& restyle);
  /// Gives every stored cell the format restyle(its format); the default format is the
  /// caller's to change.
  void RestyleStored(const StyleMap& restyle);
  /// Removes every cell of `block` (values and formats).
  void ClearBlock(const CellBlock& block);
  /// Removes every cell and returns to the default format 0.
  void ClearAll();

  /// Copies the cells of `from` in `source` (which may be this store) to the block of the
  /// same size whose top-left cell is (toRow, toColumn), which must lie on the sheet:
  /// values and formats. A source cell that is not stored clears its target cell (no
  /// value, this store's default format), so only the stored cells of the source and of
  /// the target block are visited: the cost follows what the block holds, never its
  /// area. `mapStyle` turns a source format id into an id of this store's table.
  void Paste(const CellStore& source, const CellBlock& from, std::int32_t toRow, std::int32_t toColumn,
             const StyleMap& mapStyle);

 private:
  using RowIterator = std::vector<CellRow>::const_iterator;
  using RowBuilder = std::function<void(std::int32_t row, std::vector<Cell>& existing, std::vector<Cell>& out)>;

  RowIterator FirstRowAtOrAfter(std::int32_t row) const;
  static std::vector<Cell>::const_iterator FirstCellAtOrAfter(const std::vector<Cell>& cells, std::int32_t column);

  /// Replaces the stored rows top..bottom by build(row, existing cells, out) for every
  /// stored row there and every row of `visit` (sorted, inside top..bottom); `existing`
  /// may be moved from, rows whose `out` is empty are dropped.
  void RebuildRows(std::int32_t top, std::int32_t bottom, const std::vector<std::int32_t>& visit,
                   const RowBuilder& build);
  /// The cell at (row, column), stored empty with the default format if it was not.
  Cell& Obtain(std::int32_t row, std::int32_t column);
  /// Removes the cell at (row, column) if stored.
  void Erase(std::int32_t row, std::int32_t column);

  std::vector<CellRow> rows_;
  StyleId defaultStyle_ = kDefaultStyleId;
  std::size_t cellCount_ = 0;
};

}  // namespace dez::embedded
