// The add-in library's host constants for the embedded application.
#pragma once

#include <cstdint>

#include "host/addin_library.h"
#include "host/embedded/object_model_constants.h"

namespace dez::embedded {

/// clsHostConstants: the values of the mainstream spreadsheet object model, which the
/// embedded application understands (object_model_constants.h).
///
/// The two axis getters are named after the roles the component gives them in its chart:
/// AxisLevel() is the level axis, which carries the series' XValues, and AxisItem()
/// the item axis, which carries their Values. In a scatter chart the axis of the XValues is
/// the horizontal category axis (kAxisCategory = 1) and the axis of the Values the vertical
/// value axis (kAxisValue = 2), so the getters return those: the levels then run along
/// the horizontal axis as the chart intends.
class clsHostConstantsEmbedded final : public host::clsHostConstants {
 public:
  std::int32_t PasteAll() const override { return kPasteAll; }
  std::int32_t AlignCenter() const override { return kAlignCenter; }
  std::int32_t ChartTypeXYLines() const override { return kChartTypeXYScatterLinesNoMarkers; }
  std::int32_t LocationAsObject() const override { return kLocationAsObject; }
  std::int32_t MarkerStyleNone() const override { return kMarkerStyleNone; }
  std::int32_t LineWeightThin() const override { return kLineWeightThin; }
  std::int32_t LineStyleContinuous() const override { return kLineStyleContinuous; }
  std::int32_t DataLabelsShowLabel() const override { return kDataLabelsShowLabel; }
  std::int32_t LabelPositionLeaf() const override { return kLabelPositionLeft; }
  std::int32_t AxisLevel() const override { return kAxisCategory; }  // the axis of the XValues: see above
  std::int32_t AxisItem() const override { return kAxisValue; }  // the axis of the Values: see above
  std::int32_t AxisGroupPrimary() const override { return kAxisGroupPrimary; }
  std::int32_t TickMarkOutside() const override { return kTickMarkOutside; }
};

}  // namespace dez::embedded
