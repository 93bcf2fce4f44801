// Enumeration values of the spreadsheet object model that the embedded host understands.
//
// The values are those of the mainstream spreadsheet object model, so that code written
// against it (and the add-in library's constants object) means the same thing here.
#pragma once

#include <cstdint>

namespace dez::embedded {

// Paste kinds of Range.PasteSpecial.
inline constexpr std::int32_t kPasteAll = -4104;              ///< values and formats

// Horizontal alignments of a cell.
inline constexpr std::int32_t kAlignGeneral = 1;              ///< text left, numbers right
inline constexpr std::int32_t kAlignLeft = -4131;
inline constexpr std::int32_t kAlignCenter = -4108;
inline constexpr std::int32_t kAlignRight = -4152;
inline constexpr std::int32_t kAlignFill = 5;
inline constexpr std::int32_t kAlignJustify = -4130;
inline constexpr std::int32_t kAlignCenterAcrossSelection = 7;
inline constexpr std::int32_t kAlignDistributed = -4117;

// Colour indexes of the 56-colour palette, plus the two special values.
inline constexpr std::int16_t kColorIndexNone = -4142;        ///< no fill
inline constexpr std::int16_t kColorIndexAutomatic = -4105;   ///< the element's automatic colour
inline constexpr std::int16_t kColorIndexBlack = 1;
inline constexpr std::int16_t kColorIndexWhite = 2;
inline constexpr std::int16_t kColorIndexGray25 = 15;         ///< light grey (#C0C0C0)
inline constexpr std::int16_t kColorIndexFirst = 1;
inline constexpr std::int16_t kColorIndexLast = 56;

// Chart types.
inline constexpr std::int32_t kChartTypeXYScatter = -4169;               ///< markers only
inline constexpr std::int32_t kChartTypeXYScatterLines = 74;             ///< lines with markers
inline constexpr std::int32_t kChartTypeXYScatterLinesNoMarkers = 75;    ///< straight lines, no markers
inline constexpr std::int32_t kChartTypeXYScatterSmooth = 72;
inline constexpr std::int32_t kChartTypeXYScatterSmoothNoMarkers = 73;

// Chart.Location targets.
inline constexpr std::int32_t kLocationAsNewSheet = 1;
inline constexpr std::int32_t kLocationAsObject = 2;          ///< embedded in a worksheet
inline constexpr std::int32_t kLocationAutomatic = 3;

// Series markers, borders and data labels.
inline constexpr std::int32_t kMarkerStyleNone = -4142;
inline constexpr std::int32_t kMarkerStyleAutomatic = -4105;
inline constexpr std::int32_t kLineWeightHairline = 1;
inline constexpr std::int32_t kLineWeightThin = 2;
inline constexpr std::int32_t kLineWeightMedium = -4138;
inline constexpr std::int32_t kLineWeightThick = 4;
inline constexpr std::int32_t kLineStyleContinuous = 1;
inline constexpr std::int32_t kLineStyleDash = -4115;
inline constexpr std::int32_t kLineStyleDot = -4118;
inline constexpr std::int32_t kLineStyleNone = -4142;
inline constexpr std::int32_t kDataLabelsShowNone = -4142;
inline constexpr std::int32_t kDataLabelsShowValue = 2;
inline constexpr std::int32_t kDataLabelsShowLabel = 4;       ///< the point's category label
inline constexpr std::int32_t kLabelPositionCenter = -4108;
inline constexpr std::int32_t kLabelPositionLeft = -4131;
inline constexpr std::int32_t kLabelPositionRight = -4152;
inline constexpr std::int32_t kLabelPositionAbove = 0;
inline constexpr std::int32_t kLabelPositionBelow = 1;

// Axes. In a scatter chart the category axis is the horizontal one, which carries the
// series' XValues; the value axis is the vertical one, which carries its Values.
inline constexpr std::int32_t kAxisCategory = 1;
inline constexpr std::int32_t kAxisValue = 2;
inline constexpr std::int32_t kAxisGroupPrimary = 1;
inline constexpr std::int32_t kAxisGroupSecondary = 2;
inline constexpr std::int32_t kTickMarkNone = -4142;
inline constexpr std::int32_t kTickMarkInside = 2;
inline constexpr std::int32_t kTickMarkOutside = 3;
inline constexpr std::int32_t kTickMarkCross = 4;

// Message box style bits.
inline constexpr std::int32_t kMsgBoxOkOnly = 0;
inline constexpr std::int32_t kMsgBoxExclamation = 48;

}  // namespace dez::embedded
