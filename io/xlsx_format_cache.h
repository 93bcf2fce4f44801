// libxlsxwriter formats for the interned cell formats of a workbook, made once each.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "host/embedded/style_table.h"
#include "io/styled_text.h"

struct lxw_workbook;
struct lxw_format;

namespace dez::io {

class XlsxFormatCache {
 public:
  XlsxFormatCache(lxw_workbook* workbook, const embedded::StyleTable& styles);

  /// The cell format of style `id`: font (the glyph font shown as its monospace display
  /// font), bold, size, number format, horizontal alignment, fill (palette colour).
  /// Never null: style 0 gives a format with no properties, which is the workbook's
  /// default format, so that column formats do not leak into cells that have their own.
  lxw_format* ForStyle(embedded::StyleId id);

  /// The cell format of style `id` with the font of `font` instead of its own (a text
  /// whose characters all share one font other than the cell's).
  lxw_format* ForStyleWithFont(embedded::StyleId id, const TextFragment& font);

  /// A format carrying only a font, for one fragment of a rich string.
  lxw_format* ForFont(const TextFragment& font);

 private:
  using FontKey = std::tuple<std::string, double, bool>;
  lxw_format* Make(const embedded::CellStyle& style, const FontKey& font);

  lxw_workbook* workbook_;
  const embedded::StyleTable& styles_;
  std::vector<lxw_format*> byStyle_;  // by StyleId; null until made
  std::map<std::pair<embedded::StyleId, FontKey>, lxw_format*> byStyleAndFont_;
  std::map<FontKey, lxw_format*> byFont_;
};

}  // namespace dez::io
