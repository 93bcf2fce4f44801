#include "io/xlsx_format_cache.h"

#include <xlsxwriter.h>

#include <new>

#include "host/embedded/object_model_constants.h"
#include "io/color_palette.h"
#include "io/glyph_font.h"

namespace dez::io {

namespace {

std::uint8_t Alignment(std::int32_t hostAlignment) {
  switch (hostAlignment) {
    case embedded::kAlignLeft: return LXW_ALIGN_LEFT;
    case embedded::kAlignCenter: return LXW_ALIGN_CENTER;
    case embedded::kAlignRight: return LXW_ALIGN_RIGHT;
    case embedded::kAlignFill: return LXW_ALIGN_FILL;
    case embedded::kAlignJustify: return LXW_ALIGN_JUSTIFY;
    case embedded::kAlignCenterAcrossSelection: return LXW_ALIGN_CENTER_ACROSS;
    case embedded::kAlignDistributed: return LXW_ALIGN_DISTRIBUTED;
    default: return LXW_ALIGN_NONE;  // general: text left, numbers right
  }
}

/// libxlsxwriter reserves 0 for "no colour"; black is written as LXW_COLOR_BLACK.
lxw_color_t LxwColor(std::uint32_t rgb) { return rgb == 0 ? static_cast<lxw_color_t>(LXW_COLOR_BLACK) : rgb; }

}  // namespace

XlsxFormatCache::XlsxFormatCache(lxw_workbook* workbook, const embedded::StyleTable& styles)
    : workbook_(workbook), styles_(styles) {}

XlsxFormatCache::Properties XlsxFormatCache::PropertiesOf(const embedded::CellStyle& style, const std::string& fontName,
                                                          double fontSize, bool bold) {
  const std::string shown = IsGlyphFont(fontName) ? std::string(kGlyphDisplayFont) : fontName;
  const std::int32_t fill = PaletteColor(style.interiorColorIndex) ? style.interiorColorIndex : 0;
  return Properties{shown, fontSize, bold, style.numberFormat, Alignment(style.horizontalAlignment), fill};
}

lxw_format* XlsxFormatCache::Get(const Properties& properties, bool explicitDefault) {
  static const Properties kDefault{embedded::CellStyle::kDefaultFontName,
                                   embedded::CellStyle::kDefaultFontSize,
                                   false,
                                   embedded::CellStyle::kGeneralFormat,
                                   LXW_ALIGN_NONE,
                                   0};
  if (properties == kDefault) {
    if (!explicitDefault) return nullptr;
    if (explicitDefault_ == nullptr) explicitDefault_ = workbook_add_format(workbook_);
    if (explicitDefault_ == nullptr) throw std::bad_alloc();  // the library's only failure
    return explicitDefault_;
  }
  auto [it, added] = formats_.try_emplace(properties, nullptr);
  if (added) {
    const auto& [font, size, bold, numberFormat, align, fill] = properties;
    lxw_format* format = workbook_add_format(workbook_);
    if (format == nullptr) throw std::bad_alloc();  // the library's only failure
    if (font != embedded::CellStyle::kDefaultFontName) format_set_font_name(format, font.c_str());
    if (size != embedded::CellStyle::kDefaultFontSize) format_set_font_size(format, size);
    if (bold) format_set_bold(format);
    if (numberFormat != embedded::CellStyle::kGeneralFormat) format_set_num_format(format, numberFormat.c_str());
    if (align != LXW_ALIGN_NONE) format_set_align(format, static_cast<std::uint8_t>(align));
    if (fill != 0) {
      format_set_pattern(format, LXW_PATTERN_SOLID);
      format_set_bg_color(format, LxwColor(*PaletteColor(fill)));
    }
    it->second = format;
  }
  return it->second;
}

lxw_format* XlsxFormatCache::ForStyle(embedded::StyleId id, bool explicitDefault) {
  if (explicitDefault) {
    const embedded::CellStyle& style = styles_.Get(id);
    return Get(PropertiesOf(style, style.fontName, style.fontSize, style.bold), true);
  }
  if (id >= byStyle_.size()) {
    byStyle_.resize(styles_.size(), nullptr);
    byStyleKnown_.resize(styles_.size(), false);
  }
  if (!byStyleKnown_[id]) {
    const embedded::CellStyle& style = styles_.Get(id);
    byStyle_[id] = Get(PropertiesOf(style, style.fontName, style.fontSize, style.bold), false);
    byStyleKnown_[id] = true;
  }
  return byStyle_[id];
}

lxw_format* XlsxFormatCache::ForStyleWithFont(embedded::StyleId id, const TextFragment& font, bool explicitDefault) {
  return Get(PropertiesOf(styles_.Get(id), font.fontName, font.fontSize, font.bold), explicitDefault);
}

lxw_format* XlsxFormatCache::ForFont(const TextFragment& font) {
  return Get(PropertiesOf(embedded::CellStyle{}, font.fontName, font.fontSize, font.bold), false);
}

}  // namespace dez::io
