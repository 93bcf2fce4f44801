#include "io/xlsx_format_cache.h"

#include <xlsxwriter.h>

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

void SetFont(lxw_format* format, const std::string& name, double size, bool bold) {
  const std::string shown = IsGlyphFont(name) ? std::string(kGlyphDisplayFont) : name;
  if (shown != embedded::CellStyle::kDefaultFontName) format_set_font_name(format, shown.c_str());
  if (size != embedded::CellStyle::kDefaultFontSize) format_set_font_size(format, size);
  if (bold) format_set_bold(format);
}

}  // namespace

XlsxFormatCache::XlsxFormatCache(lxw_workbook* workbook, const embedded::StyleTable& styles)
    : workbook_(workbook), styles_(styles) {}

lxw_format* XlsxFormatCache::Make(const embedded::CellStyle& style, const FontKey& font) {
  lxw_format* format = workbook_add_format(workbook_);
  SetFont(format, std::get<0>(font), std::get<1>(font), std::get<2>(font));
  if (style.numberFormat != embedded::CellStyle::kGeneralFormat) format_set_num_format(format, style.numberFormat.c_str());
  if (const std::uint8_t align = Alignment(style.horizontalAlignment); align != LXW_ALIGN_NONE) {
    format_set_align(format, align);
  }
  if (const auto rgb = PaletteColor(style.interiorColorIndex)) {
    format_set_pattern(format, LXW_PATTERN_SOLID);
    format_set_bg_color(format, LxwColor(*rgb));
  }
  return format;
}

lxw_format* XlsxFormatCache::ForStyle(embedded::StyleId id) {
  if (id >= byStyle_.size()) byStyle_.resize(styles_.size(), nullptr);
  lxw_format*& slot = byStyle_[id];
  if (slot == nullptr) {
    const embedded::CellStyle& style = styles_.Get(id);
    slot = Make(style, FontKey{style.fontName, style.fontSize, style.bold});
  }
  return slot;
}

lxw_format* XlsxFormatCache::ForStyleWithFont(embedded::StyleId id, const TextFragment& font) {
  const embedded::CellStyle& style = styles_.Get(id);
  FontKey key{font.fontName, font.fontSize, font.bold};
  if (key == FontKey{style.fontName, style.fontSize, style.bold}) return ForStyle(id);
  auto [it, added] = byStyleAndFont_.try_emplace({id, key}, nullptr);
  if (added) it->second = Make(style, key);
  return it->second;
}

lxw_format* XlsxFormatCache::ForFont(const TextFragment& font) {
  FontKey key{font.fontName, font.fontSize, font.bold};
  auto [it, added] = byFont_.try_emplace(key, nullptr);
  if (added) {
    it->second = workbook_add_format(workbook_);
    SetFont(it->second, font.fontName, font.fontSize, font.bold);
  }
  return it->second;
}

}  // namespace dez::io
