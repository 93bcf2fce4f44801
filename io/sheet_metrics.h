// Sizes the renderers give rows and columns: row heights from font sizes, column widths
// from the characters a column shows.
#pragma once

#include <cstdint>
#include <string_view>

namespace dez::io {

/// The default font size (points) a row of default height is made for.
inline constexpr double kDefaultFontSize = 11.0;
/// Width of a column that was never sized, in character units of the default font.
inline constexpr double kDefaultColumnChars = 8.43;
/// The widest column the writer makes on its own, in character units.
inline constexpr double kMaxAutoColumnChars = 100.0;

/// Height (points) of a row whose largest font is `fontSize` points, in whole pixels at
/// 96 dpi (multiples of 0.75 pt):
/// - smaller than the default font: as tall as the font's line (1.125 em), so that lines
///   of 8-point text stack without gaps and the vertical strokes of box-drawing
///   characters join (8 pt gives 9 pt);
/// - larger: the default ratio of row to font (15 pt rows for 11 pt text), so nothing is
///   clipped;
/// - the default size: the default height, 15 pt.
double RowHeightForFont(double fontSize);

/// Pixels at 96 dpi of a width in points, rounded to the nearest pixel.
std::int32_t PointsToPixels(double points);

/// Character units a piece of text needs in a column: its code points scaled by the font
/// size against the default font, wider for the monospace glyph display font and for
/// bold, plus one unit of padding.
double TextWidthChars(std::size_t characters, double fontSize, bool bold, bool monospace);

}  // namespace dez::io
