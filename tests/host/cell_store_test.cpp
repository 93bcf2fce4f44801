// The sparse cell store's own rule that no user action shows: a block restyled back to
// the default format stores no empty cells again. (Values, formats, clearing and
// pasting are checked through ranges and the clipboard.)
#include <gtest/gtest.h>

#include "host/embedded/cell_store.h"

namespace dez::embedded {
namespace {

TEST(CellStore, RestyleBlockStoresEveryCellOfTheBlockUntilItIsDefaultAgain) {
  CellStore store;
  store.Set(1, 2, Variant("keep"), 0);
  store.Set(1, 9, Variant("outside"), 0);
  store.RestyleBlock({1, 1, 2, 3}, [](StyleId) { return StyleId{7}; });
  EXPECT_EQ(store.CellCount(), 7U);
  EXPECT_EQ(store.ValueAt(1, 2), Variant("keep"));
  EXPECT_EQ(store.StyleAt(2, 3), 7U);
  EXPECT_EQ(store.StyleAt(1, 9), 0U);
  store.RestyleBlock({1, 1, 2, 3}, [](StyleId) { return kDefaultStyleId; });
  EXPECT_EQ(store.CellCount(), 2U);
}

}  // namespace
}  // namespace dez::embedded
