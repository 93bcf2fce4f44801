// Worksheets and workbooks: names, order, activation, Cells, Range, limits, whole-sheet
// formats, charts and the cell store.
#include <gtest/gtest.h>

#include "host/embedded/cell_store.h"
#include "host/embedded/embedded_chart.h"
#include "host/embedded/host_error.h"
#include "host_test_support.h"

namespace dez::embedded::test {
namespace {

using WorksheetTest = HostTest;

TEST_F(WorksheetTest, WorkbookCollections) {
  EXPECT_EQ(book_->WorksheetsCount(), 2);
  EXPECT_EQ(book_->Worksheets(1), data_);
  EXPECT_EQ(book_->Worksheets(2), other_);
  EXPECT_EQ(book_->Worksheets("OTHER"), other_);
  ExpectRaises(9, {[&] { book_->Worksheets(0); }, [&] { book_->Worksheets(3); }, [&] { book_->Worksheets("Missing"); }});
  EXPECT_EQ(data_->Parent(), book_);
}

TEST_F(WorksheetTest, Renaming) {
  data_->Name("Input 1");
  EXPECT_EQ(data_->Name(), "Input 1");
  data_->Name("input 1");  // a sheet may change the case of its own name
  const std::vector<std::string> refused = {"", "Other", "OTHER", "a:b", "a\\b", "a/b", "a?b", "a*b", "a[b", "a]b",
                                            "'quoted", "quoted'", std::string(32, 'x')};
  for (const std::string& name : refused) EXPECT_EQ(NumberOf([&] { data_->Name(name); }), 1004) << name;
  data_->Name(std::string(31, 'x'));
  data_->Name("\xC3\x9C" + std::string(30, 'x'));  // 31 characters, 32 bytes
}

TEST_F(WorksheetTest, MoveAfterPutsTheSheetBehindAnother) {
  const auto third = book_->AddSheet("Third");
  data_->MoveAfter(book_->Worksheets(book_->WorksheetsCount()));
  EXPECT_EQ(book_->Sheets(), (std::vector<std::shared_ptr<EmbeddedWorksheet>>{other_, third, data_}));
  third->MoveAfter(third);
  EXPECT_EQ(book_->Sheets()[1], third);
  EXPECT_EQ(NumberOf([&] { data_->MoveAfter(Scratch()); }), 1004) << "another workbook's sheet";
  EXPECT_EQ(NumberOf([&] { data_->MoveAfter(nullptr); }), 91);
}

TEST_F(WorksheetTest, ActivateCellsAndRange) {
  app_->AddWorkbook("Second.xlsx");
  other_->Activate();
  EXPECT_EQ(app_->ActiveBook(), book_);
  EXPECT_EQ(book_->ActiveSheet(), other_);
  EXPECT_EQ(data_->Cells(5, 2)->Address(), "$B$5");
  EXPECT_EQ(data_->Cells(1048576, 16384)->Address(), "$XFD$1048576");
  EXPECT_EQ(data_->Cells()->Address(), "$1:$1048576");
  EXPECT_EQ(data_->Range("b2:c3")->Address(), "$B$2:$C$3");
  EXPECT_EQ(data_->Range("Data!A1")->Worksheet(), data_);
  for (const auto& [row, column] : std::vector<std::pair<int, int>>{{0, 1}, {1, 0}, {1048577, 1}, {1, 16385}, {-1, -1}}) {
    const Error e = ErrorOf([&] { data_->Cells(row, column); });
    EXPECT_EQ(e.number, 1004) << row << "," << column;
    EXPECT_NE(e.description.find("outside the sheet"), std::string::npos);
  }
  ExpectRaises(1004, {[&] { data_->Range("Other!A1"); }, [&] { data_->Range("A1:"); }, [&] { Scratch()->Activate(); }});
}

TEST_F(WorksheetTest, WholeSheetClearAndInteriorCostNothingPerCell) {
  const auto scratch = Scratch();
  scratch->WriteCell(3, 3, Variant("old"));
  scratch->Cells()->Clear();
  EXPECT_EQ(scratch->Store().CellCount(), 0U);
  scratch->Cells()->Interior()->ColorIndex(2);
  EXPECT_EQ(scratch->Store().CellCount(), 0U);
  EXPECT_EQ(scratch->StyleAt(1000000, 16000).interiorColorIndex, 2);
  scratch->Cells(1, 1)->SetValue(Variant("x"));
  EXPECT_EQ(scratch->StyleAt(1, 1).interiorColorIndex, 2) << "new cells show the sheet's format";
  scratch->Cells()->Font()->Bold(true);
  EXPECT_TRUE(scratch->StyleAt(1, 1).bold);
  EXPECT_TRUE(scratch->DefaultStyle().bold);
  scratch->Cells()->Clear();
  EXPECT_EQ(scratch->DefaultStyle(), CellStyle{});
}

TEST_F(WorksheetTest, ShapesFindsEmbeddedCharts) {
  const auto chart = std::dynamic_pointer_cast<EmbeddedChart>(app_->ChartsAdd());
  chart->Location(2, "Data");
  EXPECT_EQ(data_->Charts().size(), 1U);
  const auto shape = data_->Shapes("chart 1");
  shape->Width(450);
  EXPECT_EQ(chart->Model().shape.width, 450.0);
  const Error e = ErrorOf([&] { data_->Shapes("Chart 2"); });
  EXPECT_EQ(e.number, kItemNotFound);
  EXPECT_NE(e.description.find("Chart 2"), std::string::npos);
}

TEST_F(WorksheetTest, WorkbookSheetManagement) {
  EXPECT_EQ(book_->NextSheetName(), "Sheet1");
  book_->AddSheet("First", 0);
  EXPECT_EQ(book_->Sheets().front()->Name(), "First");

  book_->DeleteSheet(*data_);
  EXPECT_EQ(book_->FindSheet("Data"), nullptr);
  EXPECT_NE(book_->ActiveSheet(), nullptr);
  const auto lone = app_->AddWorkbook("Lone.xlsx");
  ExpectRaises(1004, {[&] { book_->AddSheet("first"); }, [&] { lone->DeleteSheet(*lone->Sheets()[0]); },
                      [&] { lone->DeleteSheet(*other_); }});
}

// The sparse cell store's own rule that no user action shows: a block restyled back to
// the default format stores no empty cells again.
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
}  // namespace dez::embedded::test
