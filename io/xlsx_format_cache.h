// libxlsxwriter formats for the interned cell formats of a workbook, made once each.
//
// libxlsxwriter caches the index of a format only when the format is new to it: a second
// format object with the same properties is looked up in its hash table on every cell
// written with it. So the cache makes exactly one format object per distinct set of
// written properties (two host formats that differ only in what is not written, or a
// glyph font that becomes the same monospace font, share one), and uses no object at all
// (null, the workbook's default format) for the default properties where it can.
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
  /// font), bold, size, number format, horizontal alignment, fill (palette colour). For
  /// the default properties it is null (the workbook's default format) unless
  /// `explicitDefault`, which a sheet with column formats needs so that a cell with
  /// the default format does not take its column's format.
  lxw_format* ForStyle(embedded::StyleId id, bool explicitDefault);

  /// The cell format of style `id` with the font of `font` instead of its own (a text
  /// whose characters all share one font other than the cell's).
  lxw_format* ForStyleWithFont(embedded::StyleId id, const TextFragment& font, bool explicitDefault);

  /// A format carrying only a font, for one fragment of a rich string; null for the
  /// default font.
  lxw_format* ForFont(const TextFragment& font);

 private:
  /// Everything written of a format: font name (as shown), size, bold, number format,
  /// alignment, fill colour index (0 for none).
  using Properties = std::tuple<std::string, double, bool, std::string, std::int32_t, std::int32_t>;

  static Properties PropertiesOf(const embedded::CellStyle& style, const std::string& fontName, double fontSize,
                                 bool bold);
  lxw_format* Get(const Properties& properties, bool explicitDefault);

  lxw_workbook* workbook_;
  const embedded::StyleTable& styles_;
  std::map<Properties, lxw_format*> formats_;  // one object per distinct property set
  lxw_format* explicitDefault_ = nullptr;      // the default properties as an object
  std::vector<lxw_format*> byStyle_;           // by StyleId, for the common lookup
  std::vector<bool> byStyleKnown_;
};

}  // namespace dez::io
