// Cell formats: character runs, whole-cell font changes and interning.
#include <gtest/gtest.h>

#include <vector>

#include "host/embedded/sheet_limits.h"
#include "host/embedded/style_table.h"

namespace dez::embedded {
namespace {

FontRun Named(std::int32_t start, std::int32_t length, const char* name) {
  FontRun r;
  r.start = start;
  r.length = length;
  r.fontName = name;
  return r;
}

TEST(CellStyle, CharacterRunsSplitAndJoin) {
  CellStyle s;
  s.ApplyCharacterFont(1, 10, Named(0, 0, "Courier New"));
  EXPECT_EQ(s.runs, std::vector<FontRun>{Named(1, 10, "Courier New")});
  s.ApplyCharacterFont(4, 3, Named(0, 0, "Korvel"));
  EXPECT_EQ(s.runs, (std::vector<FontRun>{Named(1, 3, "Courier New"), Named(4, 3, "Korvel"), Named(7, 4, "Courier New")}));
  s.ApplyCharacterFont(4, 3, Named(0, 0, "Courier New"));
  EXPECT_EQ(s.runs, std::vector<FontRun>{Named(1, 10, "Courier New")});
  s.ApplyCharacterFont(20, 2, Named(0, 0, "Courier New"));  // after a gap: a run of its own
  EXPECT_EQ(s.runs.size(), 2U);
}

TEST(CellStyle, RunsOverlayAttributes) {
  CellStyle s;
  s.ApplyCharacterFont(1, 4, Named(0, 0, "Korvel"));
  FontRun bold;
  bold.bold = true;
  s.ApplyCharacterFont(3, 4, bold);
  ASSERT_EQ(s.runs.size(), 3U);
  EXPECT_EQ(s.runs[0], Named(1, 2, "Korvel"));
  EXPECT_EQ(s.runs[1].fontName, "Korvel");
  EXPECT_EQ(s.runs[1].bold, true);
  EXPECT_EQ(s.runs[2].start, 5);
  EXPECT_FALSE(s.runs[2].fontName.has_value());
}

TEST(CellStyle, WholeCellFontReplacesTheRunsAttribute) {
  CellStyle s;
  s.ApplyCharacterFont(1, 4, Named(0, 0, "Courier New"));
  s.SetFontName("Korvel");
  EXPECT_EQ(s.fontName, "Korvel");
  EXPECT_TRUE(s.runs.empty());
  // The order the text dendrogram uses: whole cell first, then the label characters.
  s.ApplyCharacterFont(1, 12, Named(0, 0, "Courier New"));
  s.SetFontSize(8);
  EXPECT_EQ(s.runs, std::vector<FontRun>{Named(1, 12, "Courier New")});
  EXPECT_EQ(s.fontSize, 8.0);
}

TEST(CellStyle, DegenerateRunsChangeNothing) {
  CellStyle s;
  s.ApplyCharacterFont(3, 0, Named(0, 0, "X"));
  s.ApplyCharacterFont(kMaxCellTextLength + 1, 5, Named(0, 0, "X"));
  s.ApplyCharacterFont(1, 0x7fffffff, Named(0, 0, "X"));  // clipped to the longest text
  ASSERT_EQ(s.runs.size(), 1U);
  EXPECT_EQ(s.runs[0].length, kMaxCellTextLength);
}

TEST(StyleTable, InternsEqualFormatsOnce) {
  StyleTable table;
  EXPECT_EQ(table.size(), 1U);
  EXPECT_EQ(table.Intern(CellStyle{}), kDefaultStyleId);
  CellStyle bold;
  bold.bold = true;
  const StyleId id = table.Intern(bold);
  EXPECT_EQ(id, 1U);
  EXPECT_EQ(table.Intern(bold), id);
  EXPECT_EQ(table.Derive(kDefaultStyleId, [](CellStyle& s) { s.bold = true; }), id);
  const CellStyle& first = table.Get(id);
  for (int i = 0; i < 1000; ++i) table.Derive(id, [&](CellStyle& s) { s.fontSize = 100.0 + 0.5 * i; });
  EXPECT_TRUE(first.bold) << "references stay valid while the table grows";
  EXPECT_EQ(table.size(), 1002U);
}

}  // namespace
}  // namespace dez::embedded
