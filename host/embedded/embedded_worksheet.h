// A worksheet of the embedded application: its cells, formats, geometry and charts.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/embedded/cell_block.h"
#include "host/embedded/cell_store.h"
#include "host/embedded/sheet_geometry.h"
#include "host/embedded/style_table.h"
#include "host/worksheet.h"
#include "runtime/array2d.h"

namespace dez::embedded {

class EmbeddedWorkbook;
class EmbeddedChart;
class EmbeddedRange;

/// A worksheet. Besides the host's Worksheet members it offers the C++ interface through
/// which file readers and writers and the text renderer fill and read the sheet:
///
///   auto& styles = sheet.Styles();
///   sheet.WriteCell(2, 3, Variant(1.5));                       // value, default format
///   CellStyle bold; bold.bold = true;
///   sheet.WriteCell(1, 3, Variant("Height"), bold);            // value and format
///   sheet.Store().ForEach([&](int32_t row, const Cell& c) {     // row by row
///     const CellStyle& format = styles.Get(c.style); ... });
///   std::optional<CellBlock> used = sheet.UsedRange();
///
/// The members that take a `Loc` check their arguments and raise the host's error (1004,
/// or the runtime's number where one fits) at the caller's location.
class EmbeddedWorksheet final : public host::Worksheet, public std::enable_shared_from_this<EmbeddedWorksheet> {
 public:
  /// A sheet named `name` whose cells use the formats of `styles`, belonging to `parent`.
  /// Workbooks create their sheets; the name is checked by the workbook.
  EmbeddedWorksheet(std::string name, std::shared_ptr<StyleTable> styles, std::weak_ptr<EmbeddedWorkbook> parent);

  // --- Storage interface -----------------------------------------------------------------

  /// The workbook holding the sheet, or nullptr once that workbook is closed.
  std::shared_ptr<EmbeddedWorkbook> Book() const { return parent_.lock(); }
  CellStore& Store() { return cells_; }
  const CellStore& Store() const { return cells_; }
  /// The formats of the sheet's workbook.
  StyleTable& Styles() { return *styles_; }
  const StyleTable& Styles() const { return *styles_; }
  SheetGeometry& Geometry() { return geometry_; }
  const SheetGeometry& Geometry() const { return geometry_; }

  /// The value of (row, column); Empty outside the stored cells.
  const Variant& ValueAt(std::int32_t row, std::int32_t column) const { return cells_.ValueAt(row, column); }
  /// The format of (row, column); the sheet's default format for an unstored cell.
  const CellStyle& StyleAt(std::int32_t row, std::int32_t column) const {
    return styles_->Get(cells_.StyleAt(row, column));
  }
  /// The sheet-wide format that every cell without one of its own shows.
  const CellStyle& DefaultStyle() const { return styles_->Get(cells_.DefaultStyle()); }

  /// Writes a value, keeping the cell's format, as the host does when a cell's value is
  /// assigned: a new value drops the character runs of the old text. Fails (1004) off the
  /// sheet or for a text longer than kMaxCellTextLength.
  void WriteCell(std::int32_t row, std::int32_t column, Variant value, host::Loc where = host::Loc::current());
  /// Writes a value and a format (interned in the workbook's table).
  void WriteCell(std::int32_t row, std::int32_t column, Variant value, const CellStyle& style,
                 host::Loc where = host::Loc::current());
  /// Sets a row's height or a column's width in points (0 hides it). Fails (1004) off the
  /// sheet or outside 0..kMaxRowHeight / 0..kMaxColumnWidth.
  void SetRowHeight(std::int32_t row, double points, host::Loc where = host::Loc::current());
  void SetColumnWidth(std::int32_t column, double points, host::Loc where = host::Loc::current());
  /// The smallest block holding every stored cell, or nothing for an empty sheet.
  std::optional<CellBlock> UsedRange() const { return cells_.UsedBlock(); }

  // --- Block operations (the building blocks of ranges) ----------------------------------

  /// The values of `block` as a 1-based rows x columns array. Fails with out of memory (7)
  /// beyond kMaxCellsPerOperation cells.
  VariantMatrix ReadBlock(const CellBlock& block, host::Loc where = host::Loc::current()) const;
  /// Writes `value` to every cell of `block`; Empty clears the values and keeps formats.
  void WriteBlock(const CellBlock& block, const Variant& value, host::Loc where = host::Loc::current());
  /// Changes the format of every cell of `block` by `edit`. For the whole sheet the default
  /// format changes too, at no cost per cell; any other block is formatted cell by cell and
  /// fails (1004) beyond kMaxCellsPerOperation cells.
  void EditFormat(const CellBlock& block, const std::function<void(CellStyle&)>& edit,
                  host::Loc where = host::Loc::current());
  /// Removes values and formats of `block`; for the whole sheet the default format too.
  void ClearBlock(const CellBlock& block);
  /// Pastes the values and formats of block `from` of `source` (any sheet, any workbook,
  /// this one included) with its top-left cell at (toRow, toColumn): the stored cells of
  /// `from`, each at its place; the target block's other cells are cleared. Time and
  /// memory follow the stored cells, whatever the block's area; a whole-sheet copy also
  /// brings the source's default format. Fails (1004) when the target leaves the sheet.
  void PasteFrom(const EmbeddedWorksheet& source, const CellBlock& from, std::int32_t toRow, std::int32_t toColumn,
                 host::Loc where = host::Loc::current());

  // --- Selection and charts ----------------------------------------------------------------

  /// The selected areas; A1 at first.
  const std::vector<CellBlock>& Selection() const { return selection_; }
  void SetSelection(std::vector<CellBlock> areas) { selection_ = std::move(areas); }
  /// The charts embedded in the sheet, in the order embedded.
  const std::vector<std::shared_ptr<EmbeddedChart>>& Charts() const { return charts_; }
  /// Embeds `chart`: it gets the next object name "Chart N" of this sheet, N counting
  /// every chart ever embedded here.
  void EmbedChart(const std::shared_ptr<EmbeddedChart>& chart);
  /// Lets go of an embedded chart (Location moves it elsewhere).
  void RemoveChart(const EmbeddedChart& chart);

  // --- host::Worksheet -------------------------------------------------------------------

  std::string Name() const override { return name_; }
  /// Renames the sheet. Fails (1004) for a name that is empty, longer than 31 characters,
  /// holds one of : \ / ? * [ ], starts or ends with ', or is another sheet's name.
  void Name(const std::string& name, host::Loc where = host::Loc::current()) override;
  host::WorkbookPtr Parent() const override;
  host::RangePtr Cells() override;
  host::RangePtr Cells(std::int32_t row, std::int32_t column, host::Loc where = host::Loc::current()) override;
  host::RangePtr Range(const std::string& address, host::Loc where = host::Loc::current()) override;
  std::int32_t RowsCount() const override { return kMaxRows; }
  std::int32_t ColumnsCount() const override { return kMaxColumns; }
  void MoveAfter(const host::WorksheetPtr& after, host::Loc where = host::Loc::current()) override;
  void Activate(host::Loc where = host::Loc::current()) override;
  host::ShapePtr Shapes(const std::string& name, host::Loc where = host::Loc::current()) override;

 private:
  std::string name_;
  std::shared_ptr<StyleTable> styles_;
  std::weak_ptr<EmbeddedWorkbook> parent_;
  CellStore cells_;
  SheetGeometry geometry_;
  std::vector<CellBlock> selection_{CellBlock::Cell(1, 1)};
  std::vector<std::shared_ptr<EmbeddedChart>> charts_;
  std::int32_t chartsEmbedded_ = 0;
};

}  // namespace dez::embedded
