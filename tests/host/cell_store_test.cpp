// The sparse cell store: lookups, writes in any order, blocks, restyling and pasting (pasting
// across sheets, workbooks and overlapping blocks: clipboard_test.cpp).
#include <gtest/gtest.h>

#include <vector>

#include "host/embedded/cell_store.h"

namespace dez::embedded {
namespace {

const CellStore::StyleMap kSame = [](StyleId id) { return id; };

// The stored cells as (row, column, value) triples, row by row.
struct Stored {
  std::int32_t row;
  std::int32_t column;
  Variant value;
  StyleId style;
  friend bool operator==(const Stored&, const Stored&) = default;
};
std::vector<Stored> All(const CellStore& store) {
  std::vector<Stored> all;
  store.ForEach([&](std::int32_t row, const Cell& c) { all.push_back({row, c.column, c.value, c.style}); });
  return all;
}

TEST(CellStore, EmptyValueWithDefaultFormatRemovesTheCell) {
  CellStore store;
  store.Set(1, 1, Variant(1.0), 0);
  store.Set(1, 2, Variant(), 3);  // a formatted empty cell stays
  store.SetValue(1, 1, Variant());
  EXPECT_EQ(store.CellCount(), 1U);
  EXPECT_EQ(store.StyleAt(1, 2), 3U);
  store.Set(1, 2, Variant(), 0);
  EXPECT_EQ(store.CellCount(), 0U);
  EXPECT_FALSE(store.UsedBlock().has_value());
  EXPECT_TRUE(store.Rows().empty());
}

TEST(CellStore, DefaultStyleAppliesToUnstoredCells) {
  CellStore store;
  store.SetDefaultStyle(4);
  EXPECT_EQ(store.StyleAt(100, 100), 4U);
  store.SetValue(1, 1, Variant(2.0));
  EXPECT_EQ(store.StyleAt(1, 1), 4U);
  store.ClearAll();
  EXPECT_EQ(store.DefaultStyle(), kDefaultStyleId);
}

TEST(CellStore, BlockQueries) {
  CellStore store;
  store.Set(2, 2, Variant(), 5);  // format only
  store.Set(3, 3, Variant(1.0), 0);
  EXPECT_FALSE(store.HasValueIn({1, 1, 2, 2}));
  EXPECT_TRUE(store.HasValueIn({3, 3, 3, 3}));
  EXPECT_FALSE(store.HasValueIn({4, 1, 9, 9}));
  std::vector<std::int32_t> columns;
  store.ForEachIn({2, 3, 3, 4}, [&](std::int32_t, const Cell& c) { columns.push_back(c.column); });
  EXPECT_EQ(columns, std::vector<std::int32_t>{3});
}

TEST(CellStore, RestyleBlockStoresEveryCellOfTheBlock) {
  CellStore store;
  store.Set(1, 2, Variant("keep"), 0);
  store.Set(1, 9, Variant("outside"), 0);
  store.RestyleBlock({1, 1, 2, 3}, [](StyleId) { return StyleId{7}; });
  EXPECT_EQ(store.CellCount(), 7U);
  EXPECT_EQ(store.ValueAt(1, 2), Variant("keep"));
  EXPECT_EQ(store.StyleAt(2, 3), 7U);
  EXPECT_EQ(store.StyleAt(1, 9), 0U);
  // Back to the default format: the empty cells go again.
  store.RestyleBlock({1, 1, 2, 3}, [](StyleId) { return kDefaultStyleId; });
  EXPECT_EQ(store.CellCount(), 2U);
}

TEST(CellStore, ClearBlockKeepsTheRest) {
  CellStore store;
  for (std::int32_t r = 1; r <= 3; ++r) {
    for (std::int32_t c = 1; c <= 3; ++c) store.Set(r, c, Variant(r * 10 + c), 0);
  }
  store.ClearBlock({2, 2, 3, 3});
  EXPECT_EQ(store.CellCount(), 5U);
  EXPECT_EQ(store.ValueAt(2, 1), Variant(21));
  EXPECT_TRUE(store.ValueAt(3, 3).IsEmpty());
  store.ClearBlock(CellBlock::WholeSheet());
  EXPECT_EQ(store.CellCount(), 0U);
}

TEST(CellStore, PasteReplacesTheBlockWithTheStoredCells) {
  CellStore source;
  source.Set(1, 1, Variant(1.0), 2);
  source.Set(2, 2, Variant("b"), 3);
  const auto target = [] {
    CellStore t;
    t.Set(5, 5, Variant("old"), 9);   // under the source's empty (1, 2)
    t.Set(6, 6, Variant("old2"), 9);  // under the source's (2, 2)
    t.Set(5, 9, Variant("right"), 0); // outside the block
    return t;
  };
  CellStore all = target();
  all.Paste(source, {1, 1, 2, 2}, 5, 5, kSame);
  EXPECT_EQ(All(all), (std::vector<Stored>{{5, 5, Variant(1.0), 2}, {5, 9, Variant("right"), 0}, {6, 6, Variant("b"), 3}}));

}

}  // namespace
}  // namespace dez::embedded
