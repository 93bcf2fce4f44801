#include "host/embedded/sheet_geometry.h"

namespace dez::embedded {

double SheetGeometry::RowHeight(std::int32_t row) const {
  const auto it = rowHeights_.find(row);
  return it == rowHeights_.end() ? kDefaultRowHeight : it->second;
}

double SheetGeometry::ColumnWidth(std::int32_t column) const {
  const auto it = columnWidths_.find(column);
  return it == columnWidths_.end() ? kDefaultColumnWidth : it->second;
}

void SheetGeometry::SetRowHeight(std::int32_t row, double points) {
  if (points == kDefaultRowHeight) rowHeights_.erase(row);
  else rowHeights_[row] = points;
}

void SheetGeometry::SetColumnWidth(std::int32_t column, double points) {
  if (points == kDefaultColumnWidth) columnWidths_.erase(column);
  else columnWidths_[column] = points;
}

double SheetGeometry::Offset(const std::map<std::int32_t, double>& sizes, double defaultSize, std::int32_t index) {
  double offset = static_cast<double>(index - 1) * defaultSize;
  for (auto it = sizes.begin(); it != sizes.end() && it->first < index; ++it) offset += it->second - defaultSize;
  return offset;
}

double SheetGeometry::RowTop(std::int32_t row) const { return Offset(rowHeights_, kDefaultRowHeight, row); }

double SheetGeometry::ColumnLeft(std::int32_t column) const {
  return Offset(columnWidths_, kDefaultColumnWidth, column);
}

}  // namespace dez::embedded
