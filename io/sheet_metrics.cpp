#include "io/sheet_metrics.h"

#include <cmath>

namespace dez::io {

namespace {
/// Rounds up to whole pixels (0.75 pt at 96 dpi).
double UpToPixel(double points) { return std::ceil(points / 0.75 - 1e-9) * 0.75; }
}  // namespace

double RowHeightForFont(double fontSize) {
  if (fontSize == kDefaultFontSize) return 15.0;
  if (fontSize < kDefaultFontSize) return UpToPixel(fontSize * 1.125);
  return UpToPixel(fontSize * 15.0 / kDefaultFontSize);
}

std::int32_t PointsToPixels(double points) { return static_cast<std::int32_t>(std::lround(points * 4.0 / 3.0)); }

double TextWidthChars(std::size_t characters, double fontSize, bool bold, bool monospace) {
  // One character unit is the width of a digit of the default font (7 px at 11 pt); an
  // average proportional character is about that wide, a monospace one about 1.26 times.
  double units = static_cast<double>(characters) * fontSize / kDefaultFontSize;
  if (monospace) units *= 1.26;
  if (bold) units *= 1.1;
  return units + 1.0;
}

}  // namespace dez::io
