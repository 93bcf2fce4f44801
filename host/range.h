// A block of cells of a worksheet, as the component calls it.
//
// Members keep the names of the host's object model. Calls that can fail take the
// caller's source location (defaulted) so that the caller's error trap can number the
// failing statement; every failure is raised as an `Error` with a number and description.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "host/forward.h"
#include "runtime/array2d.h"
#include "runtime/variant.h"

namespace dez::host {

/// Font of a range, of some characters of a cell, or of a chart element.
class Font {
 public:
  virtual ~Font() = default;
  virtual void Name(const std::string& name, Loc where = Loc::current()) = 0;
  virtual void Size(double points, Loc where = Loc::current()) = 0;
  virtual void Bold(bool bold, Loc where = Loc::current()) = 0;
};

/// Characters(Start, Length) of a one-cell range: a run of its text.
class Characters {
 public:
  virtual ~Characters() = default;
  virtual FontPtr Font() = 0;
};

/// Interior (fill) of a range or chart element.
class Interior {
 public:
  virtual ~Interior() = default;
  virtual void ColorIndex(std::int16_t index, Loc where = Loc::current()) = 0;
};

class Range {
 public:
  virtual ~Range() = default;

  // Shape
  virtual std::int32_t AreasCount() const = 0;    ///< Areas.Count
  virtual std::int32_t RowsCount() const = 0;     ///< Rows.Count of the first area
  virtual std::int32_t ColumnsCount() const = 0;  ///< Columns.Count of the first area
  /// Columns(index): the index-th column of the first area, left to right, 1-based.
  virtual RangePtr Columns(std::int32_t index, Loc where = Loc::current()) const = 0;
  /// Cells(row, column), relative to the top-left cell; may lie beyond the range.
  virtual RangePtr Cells(std::int32_t row, std::int32_t column, Loc where = Loc::current()) const = 0;
  virtual std::int32_t Row() const = 0;      ///< sheet row of the top-left cell
  virtual std::int32_t Column() const = 0;   ///< sheet column of the top-left cell
  /// Absolute address without the sheet: $B$5, or $A$1:$F$21 for a block (areas joined by ",").
  virtual std::string Address() const = 0;
  virtual WorksheetPtr Worksheet() const = 0;

  // Values
  /// Value of the first area as a 1-based rows x columns array (a single cell gives 1 x 1).
  virtual VariantMatrix Value(Loc where = Loc::current()) const = 0;
  /// The default value of the top-left cell.
  virtual Variant CellValue(Loc where = Loc::current()) const = 0;
  /// Writes `value` to every cell of the range.
  virtual void SetValue(const Variant& value, Loc where = Loc::current()) = 0;
  /// Assigns a one-dimensional array to a one-row range, left to right.
  virtual void SetRowValues(std::span<const Variant> values, Loc where = Loc::current()) = 0;

  // Clipboard and selection
  virtual void Copy(Loc where = Loc::current()) = 0;
  /// PasteSpecial(paste kind) at this range's top-left cell from the clipboard.
  virtual void PasteSpecial(std::int32_t pasteKind, Loc where = Loc::current()) = 0;
  virtual void Select(Loc where = Loc::current()) = 0;
  virtual void Clear(Loc where = Loc::current()) = 0;

  // Formats
  virtual void NumberFormat(const std::string& format, Loc where = Loc::current()) = 0;
  virtual void HorizontalAlignment(std::int32_t alignment, Loc where = Loc::current()) = 0;
  virtual FontPtr Font() = 0;
  virtual InteriorPtr Interior() = 0;
  /// Characters(Start, Length) of the top-left cell's text, 1-based.
  virtual CharactersPtr Characters(std::int32_t start, std::int32_t length, Loc where = Loc::current()) = 0;

  // Geometry in points
  virtual double Top() const = 0;
  virtual double Left() const = 0;
  virtual double Height() const = 0;
  virtual double Width() const = 0;
};

}  // namespace dez::host
