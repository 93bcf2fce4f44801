#include "io/dendrogram_picture.h"

#include <cairo-pdf.h>
#include <cairo-svg.h>
#include <cairo.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <memory>

#include "io/file_error.h"

namespace dez::io {

namespace {

constexpr double kTop = 52.0;          // below the title
constexpr double kRightMargin = 28.0;
constexpr double kMaxLabelWidth = 220.0;
constexpr double kOverviewLabelWidth = 84.0;
constexpr const char* kFont = "DejaVu Sans";

struct Rgb {
  double r, g, b;
};
/// Okabe and Ito's colour-blind-safe palette (without yellow, too pale for lines on white),
/// cycled when there are more clusters.
constexpr std::array<Rgb, 7> kPalette = {{{0.0, 0.447, 0.698},
                                          {0.835, 0.369, 0.0},
                                          {0.0, 0.620, 0.451},
                                          {0.800, 0.475, 0.655},
                                          {0.337, 0.706, 0.914},
                                          {0.902, 0.624, 0.0},
                                          {0.4, 0.4, 0.4}}};
constexpr Rgb kInk = {0.12, 0.12, 0.12};
constexpr Rgb kAboveCut = {0.55, 0.55, 0.55};
constexpr Rgb kCutLine = {0.8, 0.0, 0.0};

void SetColour(cairo_t* cr, const Rgb& c) { cairo_set_source_rgb(cr, c.r, c.g, c.b); }

Rgb ClusterColour(std::int32_t cluster) { return kPalette[static_cast<std::size_t>(cluster - 1) % kPalette.size()]; }

/// Tick spacing: 1, 2 or 5 times a power of ten, about six ticks over `range`.
double TickStep(double range) {
  const double raw = range / 6.0;
  const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
  for (const double factor : {1.0, 2.0, 5.0}) {
    if (raw <= factor * magnitude) return factor * magnitude;
  }
  return 10.0 * magnitude;
}

std::string TickText(double value, double step) {
  const int decimals = std::max(0, static_cast<int>(-std::floor(std::log10(step) + 1e-9)));
  if (std::fabs(value) < step * 1e-9) value = 0.0;  // no "-0"
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

/// `text` cut at a UTF-8 character boundary, with an ellipsis, to fit `width`.
std::string Fitted(cairo_t* cr, std::string text, double width) {
  cairo_text_extents_t extents;
  cairo_text_extents(cr, text.c_str(), &extents);
  if (extents.x_advance <= width) return text;
  while (!text.empty()) {
    do {
      text.pop_back();
    } while (!text.empty() && (static_cast<unsigned char>(text.back()) & 0xC0) == 0x80);
    if (!text.empty() && static_cast<unsigned char>(text.back()) >= 0xC0) text.pop_back();  // a lead byte
    const std::string candidate = text + "\u2026";
    cairo_text_extents(cr, candidate.c_str(), &extents);
    if (extents.x_advance <= width) return candidate;
  }
  return "\u2026";
}

void Line(cairo_t* cr, double x0, double y0, double x1, double y1) {
  cairo_move_to(cr, x0, y0);
  cairo_line_to(cr, x1, y1);
  cairo_stroke(cr);
}

void TextAt(cairo_t* cr, const std::string& text, double x, double y, double alignX) {
  cairo_text_extents_t extents;
  cairo_text_extents(cr, text.c_str(), &extents);
  cairo_move_to(cr, x - alignX * extents.x_advance, y);
  cairo_show_text(cr, text.c_str());
}

void Draw(cairo_t* cr, const DendrogramPicture& picture, double height) {
  const Schedule& steps = *picture.steps;
  const auto n = static_cast<std::int32_t>(picture.labels.size());
  const bool labelled = n <= kMaxLabelledItems;
  const bool coloured = picture.clusters >= 1 && picture.clusterOfItem.size() == picture.labels.size();

  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  cairo_select_font_face(cr, kFont, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
  cairo_set_font_size(cr, 14);
  SetColour(cr, kInk);
  TextAt(cr, picture.title, kPictureWidth / 2, 30, 0.5);
  cairo_select_font_face(cr, kFont, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, 10);

  // Horizontal extent: the labels' width on the left, then the tree.
  double labelWidth = kOverviewLabelWidth;
  if (labelled) {
    labelWidth = 0;
    for (const std::string& label : picture.labels) {
      cairo_text_extents_t extents;
      cairo_text_extents(cr, label.c_str(), &extents);
      labelWidth = std::max(labelWidth, std::min(extents.x_advance, kMaxLabelWidth));
    }
  }
  const double left = 16.0 + labelWidth + 8.0;
  const double right = kPictureWidth - kRightMargin;
  const double plotBottom = height - (kTitleAndAxisHeight - kTop);
  const double spacing = (plotBottom - kTop) / n;

  const double leafLevel = picture.difference ? picture.minVal : picture.maxVal;
  double farLevel = picture.difference ? picture.maxVal : picture.minVal;
  if (farLevel == leafLevel) farLevel = leafLevel + (picture.difference ? 1.0 : -1.0);
  const auto xOf = [&](double level) { return left + (level - leafLevel) / (farLevel - leafLevel) * (right - left); };

  // Every node's place: leaves in the root's order, a merge halfway between its parts.
  std::vector<double> y(static_cast<std::size_t>(steps.UBound() + 1), 0.0);
  std::vector<double> x(y.size(), xOf(leafLevel));
  std::vector<std::int32_t> rankOfItem(static_cast<std::size_t>(n + 1), 0);
  const std::vector<std::int32_t>& order = steps[steps.UBound()].items;
  for (std::size_t r = 0; r < order.size(); ++r) {
    rankOfItem[static_cast<std::size_t>(order[r])] = static_cast<std::int32_t>(r);
    y[static_cast<std::size_t>(order[r])] = kTop + (static_cast<double>(r) + 0.5) * spacing;
  }
  const auto at = [](std::int32_t e) { return static_cast<std::size_t>(e); };
  for (std::int32_t e = n + 1; e <= steps.UBound(); ++e) {
    y[at(e)] = (y[at(steps[e].first)] + y[at(steps[e].second)]) / 2;
    x[at(e)] = xOf(steps[e].level);
  }
  // A node lies inside a cluster when it is an item or one of the first n - k merges.
  const auto colourOf = [&](std::int32_t e) -> Rgb {
    if (!coloured || e - n > n - picture.clusters) return coloured ? kAboveCut : kInk;
    return ClusterColour(picture.clusterOfItem[static_cast<std::size_t>(steps[e].items.front() - 1)]);
  };

  cairo_set_line_cap(cr, CAIRO_LINE_CAP_SQUARE);
  cairo_set_line_width(cr, labelled ? 1.2 : std::clamp(spacing * 0.6, 0.25, 1.0));
  for (std::int32_t e = n + 1; e <= steps.UBound(); ++e) {
    // A merge's three strokes (the two parts' links and the joining line) share its colour.
    SetColour(cr, colourOf(e));
    for (const std::int32_t child : {steps[e].first, steps[e].second}) {
      Line(cr, x[at(child)], y[at(child)], x[at(e)], y[at(child)]);
    }
    Line(cr, x[at(e)], y[at(steps[e].first)], x[at(e)], y[at(steps[e].second)]);
  }

  // Labels, or in the overview the clusters' numbers and sizes beside their leaves.
  if (labelled) {
    cairo_set_font_size(cr, 10);
    for (std::int32_t i = 1; i <= n; ++i) {
      SetColour(cr, coloured ? ClusterColour(picture.clusterOfItem[at(i - 1)]) : kInk);
      TextAt(cr, Fitted(cr, picture.labels[at(i - 1)], kMaxLabelWidth), left - 8, y[at(i)] + 3.5, 1.0);
    }
  } else if (coloured) {
    std::vector<std::int32_t> first(at(picture.clusters + 1), n);
    std::vector<std::int32_t> last(first.size(), -1);
    std::vector<std::int32_t> size(first.size(), 0);
    for (std::int32_t i = 1; i <= n; ++i) {
      const std::int32_t c = picture.clusterOfItem[at(i - 1)];
      first[at(c)] = std::min(first[at(c)], rankOfItem[at(i)]);
      last[at(c)] = std::max(last[at(c)], rankOfItem[at(i)]);
      ++size[at(c)];
    }
    cairo_set_font_size(cr, 9);
    for (std::int32_t c = 1; c <= picture.clusters; ++c) {
      const double top = kTop + first[at(c)] * spacing;
      const double bottom = kTop + (last[at(c)] + 1) * spacing;
      SetColour(cr, ClusterColour(c));
      cairo_set_line_width(cr, 2.0);
      Line(cr, left - 4, top, left - 4, bottom);
      if (bottom - top >= 9.0 || picture.clusters <= 40) {
        TextAt(cr, std::to_string(c) + " (" + std::to_string(size[at(c)]) + ")", left - 8, (top + bottom) / 2 + 3, 1.0);
      }
    }
  }

  // The cut.
  if (picture.cutLevel) {
    SetColour(cr, kCutLine);
    cairo_set_line_width(cr, 1.0);
    const std::array<double, 2> dashes = {5.0, 3.0};
    cairo_set_dash(cr, dashes.data(), 2, 0);
    Line(cr, xOf(*picture.cutLevel), kTop - 6, xOf(*picture.cutLevel), plotBottom + 2);
    cairo_set_dash(cr, nullptr, 0, 0);
  }

  // The level axis.
  const double axisY = plotBottom + 10;
  SetColour(cr, kInk);
  cairo_set_line_width(cr, 0.8);
  Line(cr, left, axisY, right, axisY);
  const double low = std::min(leafLevel, farLevel);
  const double high = std::max(leafLevel, farLevel);
  const double step = TickStep(high - low);
  cairo_set_font_size(cr, 9);
  for (double tick = std::ceil(low / step - 1e-9) * step; tick <= high + step * 1e-9; tick += step) {
    Line(cr, xOf(tick), axisY, xOf(tick), axisY + 4);
    TextAt(cr, TickText(tick, step), xOf(tick), axisY + 15, 0.5);
  }
  cairo_set_font_size(cr, 10);
  TextAt(cr, picture.axisTitle, (left + right) / 2, axisY + 32, 0.5);
  if (!labelled) {
    cairo_set_font_size(cr, 9);
    TextAt(cr, std::to_string(n) + " items; leaf labels omitted", right, 46, 1.0);
  }
}

struct SurfaceCloser {
  void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
struct ContextCloser {
  void operator()(cairo_t* cr) const { cairo_destroy(cr); }
};

}  // namespace

std::optional<PictureFormat> PictureFormatOf(const std::filesystem::path& file) {
  std::string extension = file.extension().string();
  for (char& ch : extension) ch = static_cast<char>(ch >= 'A' && ch <= 'Z' ? ch - 'A' + 'a' : ch);
  if (extension == ".svg") return PictureFormat::kSvg;
  if (extension == ".png") return PictureFormat::kPng;
  if (extension == ".pdf") return PictureFormat::kPdf;
  return std::nullopt;
}

double PictureHeight(std::int32_t n) {
  return n <= kMaxLabelledItems ? kTitleAndAxisHeight + kItemSpacing * n : kOverviewHeight;
}

void DrawDendrogramPicture(const DendrogramPicture& picture, const std::filesystem::path& file, PictureFormat format) {
  const auto n = static_cast<std::int32_t>(picture.labels.size());
  const double height = PictureHeight(n);
  const std::string name = file.string();
  std::unique_ptr<cairo_surface_t, SurfaceCloser> surface;
  switch (format) {
    case PictureFormat::kSvg: surface.reset(cairo_svg_surface_create(name.c_str(), kPictureWidth, height)); break;
    case PictureFormat::kPdf: surface.reset(cairo_pdf_surface_create(name.c_str(), kPictureWidth, height)); break;
    case PictureFormat::kPng:
      surface.reset(cairo_image_surface_create(CAIRO_FORMAT_RGB24, static_cast<int>(kPictureWidth * kPngPixelsPerPoint),
                                               static_cast<int>(height * kPngPixelsPerPoint)));
      break;
  }
  const auto fail = [&](cairo_status_t status) {
    throw FileError(FileErrorKind::kWrite, name, {}, std::string("cannot draw the picture: ") + cairo_status_to_string(status),
                    "WritePicture");
  };
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) fail(cairo_surface_status(surface.get()));
  {
    std::unique_ptr<cairo_t, ContextCloser> cr(cairo_create(surface.get()));
    if (format == PictureFormat::kPng) cairo_scale(cr.get(), kPngPixelsPerPoint, kPngPixelsPerPoint);
    if (n >= 2 && picture.steps != nullptr && picture.steps->UBound() == 2 * n - 1) Draw(cr.get(), picture, height);
    if (cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS) fail(cairo_status(cr.get()));
  }
  if (format == PictureFormat::kPng) {
    const cairo_status_t written = cairo_surface_write_to_png(surface.get(), name.c_str());
    if (written != CAIRO_STATUS_SUCCESS) fail(written);
  }
  cairo_surface_finish(surface.get());
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) fail(cairo_surface_status(surface.get()));
}

}  // namespace dez::io
