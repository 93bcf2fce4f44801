// The add-in library's house style for the cells of a report.
#pragma once

#include "host/addin_library.h"

namespace dez::embedded {

/// clsCellFormatter of the embedded library. The house style:
///
/// - Heading band: bold on a light grey fill (colour index 15). A row of column headings
///   (labelColumn False) is centred over its columns; a column of row labels (True) is
///   left-aligned.
/// - Value block: regular weight, number format "0.0000" (four decimals, so that the
///   columns of a matrix line up), general alignment (numbers to the right). The flag is
///   not used: every value block looks the same.
/// - Text line: bold for a heading (True), regular otherwise; no fill, so the line shows
///   the sheet's background.
class clsCellFormatterEmbedded final : public host::clsCellFormatter {
 public:
  static constexpr const char* kValueNumberFormat = "0.0000";

  void FormatHeadingBand(const host::RangePtr& range, bool labelColumn, host::Loc where = host::Loc::current()) override;
  void FormatValueBlock(const host::RangePtr& range, bool flag, host::Loc where = host::Loc::current()) override;
  void FormatTextLine(const host::RangePtr& range, bool heading, host::Loc where = host::Loc::current()) override;
};

}  // namespace dez::embedded
