// The format of a cell: font, per-character font runs, number format, alignment, fill.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "host/embedded/object_model_constants.h"

namespace dez::embedded {

/// Font attributes of characters start .. start + length - 1 of a cell's text (1-based).
/// An attribute left empty is the cell's own.
struct FontRun {
  std::int32_t start = 1;
  std::int32_t length = 0;
  std::optional<std::string> fontName;
  std::optional<double> fontSize;
  std::optional<bool> bold;

  /// True when the run changes no attribute.
  bool SetsNothing() const { return !fontName && !fontSize && !bold; }
  /// True when both runs set the same attributes (positions aside).
  bool SameAttributes(const FontRun& o) const {
    return fontName == o.fontName && fontSize == o.fontSize && bold == o.bold;
  }
  friend bool operator==(const FontRun&, const FontRun&) = default;
};

/// A cell format. Cells never hold one directly: they hold the id of an interned format
/// of their workbook's `StyleTable`.
struct CellStyle {
  /// The default font of a new workbook.
  static constexpr const char* kDefaultFontName = "Calibri";
  static constexpr double kDefaultFontSize = 11.0;
  /// The number format that shows a number in its shortest general form.
  static constexpr const char* kGeneralFormat = "General";

  std::string fontName = kDefaultFontName;
  double fontSize = kDefaultFontSize;  ///< points
  bool bold = false;
  /// Runs of characters with a font of their own: sorted by start, not overlapping, each
  /// changing at least one attribute, neighbours with equal attributes joined.
  std::vector<FontRun> runs;
  std::string numberFormat = kGeneralFormat;
  std::int32_t horizontalAlignment = kAlignGeneral;
  std::int16_t interiorColorIndex = kColorIndexNone;

  /// Sets the font of the whole cell: the runs keep only their other attributes, as when
  /// the host's Font.Name is set on a range.
  void SetFontName(const std::string& name);
  void SetFontSize(double points);
  void SetBold(bool on);

  /// Gives characters start .. start + length - 1 the attributes that `attributes` sets
  /// (its start and length are ignored); other characters keep theirs. Characters past
  /// the longest cell text are ignored; a length <= 0 changes nothing.
  void ApplyCharacterFont(std::int32_t start, std::int32_t length, const FontRun& attributes);

  friend bool operator==(const CellStyle&, const CellStyle&) = default;
};

/// Hash of a cell format, for interning.
struct CellStyleHash {
  std::size_t operator()(const CellStyle& style) const;
};

}  // namespace dez::embedded
