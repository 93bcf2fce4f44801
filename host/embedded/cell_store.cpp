#include "host/embedded/cell_store.h"

#include <algorithm>
#include <iterator>

namespace dez::embedded {

namespace {

const Variant kEmptyValue;

bool RowBefore(const CellRow& r, std::int32_t row) { return r.row < row; }
bool CellBefore(const Cell& c, std::int32_t column) { return c.column < column; }

// Keeps a cell only when it carries something: a value or a format other than the default.
void PushIfStored(std::vector<Cell>& out, std::int32_t column, StyleId style, Variant&& value, StyleId defaultStyle) {
  if (value.IsEmpty() && style == defaultStyle) return;
  Cell& cell = out.emplace_back();
  cell.column = column;
  cell.style = style;
  if (!value.IsEmpty()) cell.value = std::move(value);
}

// A cell without a value, for the positions a block operation fills with a format.
void PushBlank(std::vector<Cell>& out, std::int32_t column, StyleId style, StyleId defaultStyle) {
  if (style == defaultStyle) return;
  Cell& cell = out.emplace_back();
  cell.column = column;
  cell.style = style;
}

}  // namespace

CellStore::RowIterator CellStore::FirstRowAtOrAfter(std::int32_t row) const {
  return std::lower_bound(rows_.begin(), rows_.end(), row, RowBefore);
}

std::vector<Cell>::const_iterator CellStore::FirstCellAtOrAfter(const std::vector<Cell>& cells, std::int32_t column) {
  return std::lower_bound(cells.begin(), cells.end(), column, CellBefore);
}

const Cell* CellStore::Find(std::int32_t row, std::int32_t column) const {
  const auto r = FirstRowAtOrAfter(row);
  if (r == rows_.end() || r->row != row) return nullptr;
  const auto c = FirstCellAtOrAfter(r->cells, column);
  if (c == r->cells.end() || c->column != column) return nullptr;
  return &*c;
}

const Variant& CellStore::ValueAt(std::int32_t row, std::int32_t column) const {
  const Cell* c = Find(row, column);
  return c ? c->value : kEmptyValue;
}

StyleId CellStore::StyleAt(std::int32_t row, std::int32_t column) const {
  const Cell* c = Find(row, column);
  return c ? c->style : defaultStyle_;
}

std::optional<CellBlock> CellStore::UsedBlock() const {
  if (rows_.empty()) return std::nullopt;
  std::int32_t left = kMaxColumns;
  std::int32_t right = 1;
  for (const CellRow& r : rows_) {  // rows are never stored without cells
    left = std::min(left, r.cells.front().column);
    right = std::max(right, r.cells.back().column);
  }
  return CellBlock{rows_.front().row, left, rows_.back().row, right};
}

bool CellStore::HasValueIn(const CellBlock& block) const {
  bool found = false;
  ForEachIn(block, [&](std::int32_t, const Cell& c) { found = found || !c.value.IsEmpty(); });
  return found;
}

void CellStore::Set(std::int32_t row, std::int32_t column, Variant value, StyleId style) {
  if (value.IsEmpty() && style == defaultStyle_) {
    Erase(row, column);
    return;
  }
  Cell& cell = Obtain(row, column);
  cell.style = style;
  cell.value = std::move(value);
}

Cell& CellStore::Obtain(std::int32_t row, std::int32_t column) {
  // Appending rows in increasing order and cells in increasing column order is the common
  // case of writing a report; it costs no search and no shifting.
  auto r = rows_.end();
  if (rows_.empty() || rows_.back().row < row) {
    rows_.push_back(CellRow{row, {}});
    r = rows_.end() - 1;
  } else {
    r = std::lower_bound(rows_.begin(), rows_.end(), row, RowBefore);
    if (r->row != row) r = rows_.insert(r, CellRow{row, {}});
  }
  std::vector<Cell>& cells = r->cells;
  if (cells.empty() || cells.back().column < column) {
    ++cellCount_;
    Cell& added = cells.emplace_back();
    added.column = column;
    added.style = defaultStyle_;
    return added;
  }
  auto c = std::lower_bound(cells.begin(), cells.end(), column, CellBefore);
  if (c->column != column) {
    ++cellCount_;
    c = cells.emplace(c);
    c->column = column;
    c->style = defaultStyle_;
  }
  return *c;
}

void CellStore::SetValue(std::int32_t row, std::int32_t column, Variant value) {
  Set(row, column, std::move(value), StyleAt(row, column));
}

void CellStore::Erase(std::int32_t row, std::int32_t column) {
  auto r = std::lower_bound(rows_.begin(), rows_.end(), row, RowBefore);
  if (r == rows_.end() || r->row != row) return;
  auto c = std::lower_bound(r->cells.begin(), r->cells.end(), column, CellBefore);
  if (c == r->cells.end() || c->column != column) return;
  r->cells.erase(c);
  --cellCount_;
  if (r->cells.empty()) rows_.erase(r);
}

void CellStore::RebuildRows(std::int32_t top, std::int32_t bottom, const std::vector<std::int32_t>& visit,
                            const RowBuilder& build) {
  auto first = std::lower_bound(rows_.begin(), rows_.end(), top, RowBefore);
  auto last = std::lower_bound(first, rows_.end(), bottom + 1, RowBefore);
  std::vector<CellRow> rebuilt;
  std::vector<Cell> none;
  auto stored = first;
  std::size_t v = 0;
  // Merge the stored rows of top..bottom with the rows to visit, in row order.
  while (stored != last || v < visit.size()) {
    std::int32_t row = 0;
    if (stored == last) row = visit[v];
    else if (v == visit.size()) row = stored->row;
    else row = std::min(stored->row, visit[v]);
    const bool isStored = stored != last && stored->row == row;
    std::vector<Cell>& existing = isStored ? stored->cells : none;
    CellRow out{row, {}};
    const std::size_t before = existing.size();
    build(row, existing, out.cells);
    // Builders reserve an upper bound; give back what a row will not use, so that a row
    // costs about its cells (48 bytes each) however it was built.
    if (out.cells.capacity() > out.cells.size() + out.cells.size() / 8 + 4) out.cells.shrink_to_fit();
    cellCount_ = cellCount_ - before + out.cells.size();
    if (!out.cells.empty()) rebuilt.push_back(std::move(out));
    if (isStored) ++stored;
    while (v < visit.size() && visit[v] <= row) ++v;
    none.clear();
  }
  const auto at = first - rows_.begin();
  rows_.erase(first, last);
  rows_.insert(rows_.begin() + at, std::make_move_iterator(rebuilt.begin()), std::make_move_iterator(rebuilt.end()));
}

void CellStore::RestyleBlock(const CellBlock& block, const StyleMap& restyle) {
  std::vector<std::int32_t> everyRow(static_cast<std::size_t>(block.Rows()));
  for (std::int32_t i = 0; i < block.Rows(); ++i) everyRow[static_cast<std::size_t>(i)] = block.top + i;
  // What an unstored cell becomes, worked out at the first one met, so that a block whose
  // cells are all stored adds no format to the table.
  std::optional<StyleId> blankStyle;
  RebuildRows(block.top, block.bottom, everyRow, [&](std::int32_t, std::vector<Cell>& existing, std::vector<Cell>& out) {
    out.reserve(existing.size() + static_cast<std::size_t>(block.Columns()));
    auto c = existing.begin();
    for (; c != existing.end() && c->column < block.left; ++c) out.push_back(std::move(*c));
    for (std::int32_t col = block.left; col <= block.right; ++col) {
      if (c != existing.end() && c->column == col) {
        PushIfStored(out, col, restyle(c->style), std::move(c->value), defaultStyle_);
        ++c;
      } else {
        if (!blankStyle) blankStyle = restyle(defaultStyle_);
        PushBlank(out, col, *blankStyle, defaultStyle_);
      }
    }
    for (; c != existing.end(); ++c) out.push_back(std::move(*c));
  });
}

void CellStore::RestyleStored(const StyleMap& restyle) {
  for (CellRow& r : rows_) {
    for (Cell& c : r.cells) c.style = restyle(c.style);
  }
}

void CellStore::ClearBlock(const CellBlock& block) {
  if (block.IsWholeSheet()) {
    rows_.clear();
    cellCount_ = 0;
    return;
  }
  RebuildRows(block.top, block.bottom, {}, [&](std::int32_t, std::vector<Cell>& existing, std::vector<Cell>& out) {
    for (Cell& c : existing) {
      if (c.column < block.left || c.column > block.right) out.push_back(std::move(c));
    }
  });
}

void CellStore::ClearAll() {
  rows_.clear();
  cellCount_ = 0;
  defaultStyle_ = kDefaultStyleId;
}

void CellStore::Paste(const CellStore& source, const CellBlock& from, std::int32_t toRow, std::int32_t toColumn,
                      const StyleMap& mapStyle) {
  // Copying a block onto an overlapping block of the same store: read from a snapshot.
  const CellBlock to{toRow, toColumn, toRow + from.Rows() - 1, toColumn + from.Columns() - 1};
  if (&source == this && from.Overlaps(to)) {
    CellStore snapshot;
    snapshot.defaultStyle_ = defaultStyle_;
    ForEachIn(from, [&](std::int32_t row, const Cell& c) { snapshot.Set(row, c.column, c.value, c.style); });
    Paste(snapshot, from, toRow, toColumn, mapStyle);
    return;
  }
  const std::int32_t rowShift = toRow - from.top;
  const std::int32_t columnShift = toColumn - from.left;
  std::vector<std::int32_t> visit;
  for (auto r = source.FirstRowAtOrAfter(from.top); r != source.rows_.end() && r->row <= from.bottom; ++r) {
    visit.push_back(r->row + rowShift);
  }
  auto sourceRow = source.FirstRowAtOrAfter(from.top);
  RebuildRows(to.top, to.bottom, visit, [&](std::int32_t row, std::vector<Cell>& existing, std::vector<Cell>& out) {
    // The source cells of this row, inside the copied columns.
    while (sourceRow != source.rows_.end() && sourceRow->row < row - rowShift) ++sourceRow;
    const Cell* s = nullptr;
    const Cell* sEnd = nullptr;
    if (sourceRow != source.rows_.end() && sourceRow->row == row - rowShift) {
      const auto& cells = sourceRow->cells;
      const auto b = FirstCellAtOrAfter(cells, from.left);
      const auto e = FirstCellAtOrAfter(cells, from.right + 1);
      s = cells.data() + (b - cells.begin());
      sEnd = cells.data() + (e - cells.begin());
    }
    out.reserve(existing.size() + static_cast<std::size_t>(sEnd - s));
    auto d = existing.begin();
    for (; d != existing.end() && d->column < to.left; ++d) out.push_back(std::move(*d));
    // The target's own cells inside the block are replaced: dropped, and the source's
    // stored cells put in their place.
    while (d != existing.end() && d->column <= to.right) ++d;
    for (; s != sEnd; ++s) {
      Variant value = s->value;
      PushIfStored(out, s->column + columnShift, mapStyle(s->style), std::move(value), defaultStyle_);
    }
    for (; d != existing.end(); ++d) out.push_back(std::move(*d));
  });
}

}  // namespace dez::embedded
