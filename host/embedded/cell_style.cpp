#include "host/embedded/cell_style.h"

#include <algorithm>
#include <functional>

#include "host/embedded/sheet_limits.h"

namespace dez::embedded {

namespace {

// Sorts the runs, drops those that change nothing and joins touching runs with equal
// attributes, which restores the invariant of CellStyle::runs.
void NormaliseRuns(std::vector<FontRun>& runs) {
  std::erase_if(runs, [](const FontRun& r) { return r.SetsNothing() || r.length <= 0; });
  std::sort(runs.begin(), runs.end(), [](const FontRun& a, const FontRun& b) { return a.start < b.start; });
  std::vector<FontRun> joined;
  joined.reserve(runs.size());
  for (FontRun& r : runs) {
    if (!joined.empty() && joined.back().start + joined.back().length == r.start &&
        joined.back().SameAttributes(r)) {
      joined.back().length += r.length;
    } else {
      joined.push_back(std::move(r));
    }
  }
  runs = std::move(joined);
}

void HashCombine(std::size_t& seed, std::size_t value) {
  seed ^= value + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2);
}

}  // namespace

void CellStyle::SetFontName(const std::string& name) {
  fontName = name;
  for (FontRun& r : runs) r.fontName.reset();
  NormaliseRuns(runs);
}

void CellStyle::SetFontSize(double points) {
  fontSize = points;
  for (FontRun& r : runs) r.fontSize.reset();
  NormaliseRuns(runs);
}

void CellStyle::SetBold(bool on) {
  bold = on;
  for (FontRun& r : runs) r.bold.reset();
  NormaliseRuns(runs);
}

void CellStyle::ApplyCharacterFont(std::int32_t start, std::int32_t length, const FontRun& attributes) {
  // Work on the half-open character interval [s, e), clipped to the longest cell text.
  const std::int64_t s = std::max<std::int64_t>(start, 1);
  const std::int64_t e = std::min<std::int64_t>(std::int64_t{start} + length, std::int64_t{kMaxCellTextLength} + 1);
  if (length <= 0 || s >= e) return;
  const auto overlay = [&](FontRun r) {
    if (attributes.fontName) r.fontName = attributes.fontName;
    if (attributes.fontSize) r.fontSize = attributes.fontSize;
    if (attributes.bold) r.bold = attributes.bold;
    return r;
  };
  const auto piece = [](FontRun r, std::int64_t from, std::int64_t to) {
    r.start = static_cast<std::int32_t>(from);
    r.length = static_cast<std::int32_t>(to - from);
    return r;
  };

  std::vector<FontRun> out;
  std::vector<std::pair<std::int64_t, std::int64_t>> covered;  // parts of [s, e) that had a run
  for (const FontRun& r : runs) {
    const std::int64_t rs = r.start;
    const std::int64_t re = rs + r.length;
    if (rs < s) out.push_back(piece(r, rs, std::min(re, s)));
    const std::int64_t is = std::max(rs, s);
    const std::int64_t ie = std::min(re, e);
    if (is < ie) {
      out.push_back(piece(overlay(r), is, ie));
      covered.emplace_back(is, ie);
    }
    if (re > e) out.push_back(piece(r, std::max(rs, e), re));
  }
  // Characters of [s, e) that no run covered get the new attributes alone.
  std::int64_t cursor = s;
  for (const auto& [from, to] : covered) {  // in start order, as the runs were
    if (cursor < from) out.push_back(piece(overlay(FontRun{}), cursor, from));
    cursor = to;
  }
  if (cursor < e) out.push_back(piece(overlay(FontRun{}), cursor, e));
  runs = std::move(out);
  NormaliseRuns(runs);
}

std::size_t CellStyleHash::operator()(const CellStyle& s) const {
  std::size_t h = std::hash<std::string>{}(s.fontName);
  HashCombine(h, std::hash<double>{}(s.fontSize));
  HashCombine(h, std::hash<bool>{}(s.bold));
  HashCombine(h, std::hash<std::string>{}(s.numberFormat));
  HashCombine(h, std::hash<std::int32_t>{}(s.horizontalAlignment));
  HashCombine(h, std::hash<std::int16_t>{}(s.interiorColorIndex));
  for (const FontRun& r : s.runs) {
    HashCombine(h, std::hash<std::int32_t>{}(r.start));
    HashCombine(h, std::hash<std::int32_t>{}(r.length));
    HashCombine(h, r.fontName ? std::hash<std::string>{}(*r.fontName) : 1U);
    HashCombine(h, r.fontSize ? std::hash<double>{}(*r.fontSize) : 2U);
    HashCombine(h, r.bold ? std::hash<bool>{}(*r.bold) + 3U : 5U);
  }
  return h;
}

}  // namespace dez::embedded
