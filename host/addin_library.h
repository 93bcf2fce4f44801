// The add-in library's classes that the component calls.
#pragma once

#include <cstdint>

#include "host/forward.h"
#include "runtime/array2d.h"

namespace dez::host {

/// clsHostAccess: the application accessor.
class clsHostAccess {
 public:
  virtual ~clsHostAccess() = default;
  virtual ApplicationPtr HostApplication(Loc where = Loc::current()) = 0;
};

/// clsDataChecks: checks of the data block and of the output area.
class clsDataChecks {
 public:
  virtual ~clsDataChecks() = default;
  /// Returns for acceptable data, raises otherwise. The eight fixed values and the out
  /// value are the call site's (3, 0, 0, -1, 0, 0, 0, 0 and 0).
  virtual void CheckDataBlock(const RangePtr& data, bool headers, std::int32_t a, std::int32_t b,
                              std::int32_t c, std::int32_t d, std::int32_t e, std::int32_t f,
                              std::int32_t g, std::int32_t h, std::int32_t& out,
                              Loc where = Loc::current()) = 0;
  /// Returns when a report of `columns` x `rows` cells may be placed at `outputCell`,
  /// raises otherwise (it would cover non-empty cells without `overWrite`, or leave the sheet).
  virtual void CheckOutputArea(RangePtr& outputCell, std::int32_t columns, std::int32_t rows,
                               bool overWrite, Loc where = Loc::current()) = 0;
};

/// clsHostConstants: host enumeration values, one getter per constant.
class clsHostConstants {
 public:
  virtual ~clsHostConstants() = default;
  virtual std::int32_t PasteAll() const = 0;              ///< paste kind: values and formats
  virtual std::int32_t AlignCenter() const = 0;           ///< schedule's name columns
  virtual std::int32_t ChartTypeXYLines() const = 0;      ///< scatter, straight lines, no markers
  virtual std::int32_t LocationAsObject() const = 0;      ///< chart embedded in a worksheet
  virtual std::int32_t MarkerStyleNone() const = 0;
  virtual std::int32_t LineWeightThin() const = 0;
  virtual std::int32_t LineStyleContinuous() const = 0;
  virtual std::int32_t DataLabelsShowLabel() const = 0;
  virtual std::int32_t LabelPositionLeaf() const = 0;    ///< leaf labels: left of the leaf, in the margin
  virtual std::int32_t AxisLevel() const = 0;             ///< level axis: carries XValues
  virtual std::int32_t AxisItem() const = 0;              ///< item axis: carries Values
  virtual std::int32_t AxisGroupPrimary() const = 0;
  virtual std::int32_t TickMarkOutside() const = 0;
};

/// clsReportSettings: the house colours.
class clsReportSettings {
 public:
  virtual ~clsReportSettings() = default;
  virtual std::int16_t BackColorIndex() const = 0;
};

/// clsCellFormatter: the house style for the three roles of the report's cells.
class clsCellFormatter {
 public:
  virtual ~clsCellFormatter() = default;
  virtual void FormatHeadingBand(const RangePtr& range, bool labelColumn, Loc where = Loc::current()) = 0;
  virtual void FormatValueBlock(const RangePtr& range, bool flag, Loc where = Loc::current()) = 0;
  virtual void FormatTextLine(const RangePtr& range, bool heading, Loc where = Loc::current()) = 0;
};

/// clsStatistics: conversions and correlations over matrices.
class clsStatistics {
 public:
  virtual ~clsStatistics() = default;
  /// Cell values to numbers, same 1-based shape; a value that is no number is type mismatch.
  virtual DoubleMatrix ToDoubleMatrix(const VariantMatrix& values, Loc where = Loc::current()) = 0;
  /// Cell values to texts, same 1-based shape.
  virtual StringMatrix ToStringArray(const VariantMatrix& values, Loc where = Loc::current()) = 0;
  /// First of the two correlation calls: prepares the rows of `data`.
  virtual DoubleMatrix PrepareCorrelation(const DoubleMatrix& data, Loc where = Loc::current()) = 0;
  /// Second call: the n x n product-moment correlations between the rows of the data.
  virtual DoubleMatrix CorrelationMatrix(const DoubleMatrix& prepared, bool flag, Loc where = Loc::current()) = 0;
  /// Product-moment correlation of two one-column matrices, as element (1, 1).
  virtual DoubleMatrix Correlate(const DoubleMatrix& x, const DoubleMatrix& y, Loc where = Loc::current()) = 0;
};

}  // namespace dez::host
