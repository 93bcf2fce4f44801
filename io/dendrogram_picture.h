// The dendrogram drawn as a picture file (SVG, PNG or PDF) with cairo, for --picture.
//
//   DendrogramPicture picture;  // labels, tree, limits, title ...
//   DrawDendrogramPicture(picture, temp.TempPath(), PictureFormatOf("tree.svg").value());
//
// Layout: the leaves stand one below the other in the order of the root's item list, their
// labels on the left; the tree grows to the right, from the level at which the leaves
// stand (the lower limit for distances, the upper for similarities) to the other limit,
// with a level axis below it (ticks at 1, 2 or 5 times a power of ten, numbered). A title
// names the method and the measure. With a flat clustering the links inside each
// cluster take the cluster's colour, as do the labels, and a dashed line marks the cut.
//
// Sizes are fixed so that the files can be checked: 720 points wide; up to
// kMaxLabelledItems items, 14 points per item plus 110 points of title and axis; above
// that the labels give way to an overview kOverviewHeight points high, in which each
// cluster of the clustering (if any) is named by its number and size beside its span of
// leaves. PNG files are drawn at 2 pixels per point.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "runtime/schedule.h"

namespace dez::io {

enum class PictureFormat : std::uint8_t { kSvg, kPng, kPdf };

/// The format named by the extension of `file` (.svg, .png, .pdf, any letter case).
std::optional<PictureFormat> PictureFormatOf(const std::filesystem::path& file);

inline constexpr std::int32_t kMaxLabelledItems = 120;
inline constexpr double kPictureWidth = 720.0;
inline constexpr double kItemSpacing = 14.0;
inline constexpr double kTitleAndAxisHeight = 110.0;
inline constexpr double kOverviewHeight = 960.0;
inline constexpr double kPngPixelsPerPoint = 2.0;

/// The page height in points for `n` items.
double PictureHeight(std::int32_t n);

struct DendrogramPicture {
  const Schedule* steps = nullptr;       ///< the schedule, entries 1..2n-1
  std::vector<std::string> labels;        ///< labels[i - 1] names item i
  double minVal = 0.0;                    ///< the engine's level limits
  double maxVal = 0.0;
  bool difference = true;                 ///< distances (leaves at minVal) or similarities
  std::string title;
  std::string axisTitle;
  std::vector<std::int32_t> clusterOfItem;  ///< empty, or the cluster 1..k of each item
  std::int32_t clusters = 0;              ///< k of clusterOfItem
  std::optional<double> cutLevel;          ///< where the dashed line is drawn
};

/// Draws `picture` into `file` in `format`. Raises FileError kWrite when cairo cannot
/// write the file.
void DrawDendrogramPicture(const DendrogramPicture& picture, const std::filesystem::path& file, PictureFormat format);

}  // namespace dez::io
