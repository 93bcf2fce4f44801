// Ranges: shape, relative cells, values, row assignment, formats, character runs and
// geometry, as a user of the spreadsheet program sees them.
#include <gtest/gtest.h>

#include <vector>

#include "host_test_support.h"

namespace dez::embedded::test {
namespace {

using RangeTest = HostTest;

TEST_F(RangeTest, ShapeOfTheFirstAreaColumnsAndRelativeCells) {
  const auto r = R("B2:D5,F1");
  EXPECT_EQ(r->AreasCount(), 2);
  EXPECT_EQ(r->RowsCount(), 4);
  EXPECT_EQ(r->ColumnsCount(), 3);
  EXPECT_EQ(r->Row(), 2);
  EXPECT_EQ(r->Column(), 2);
  EXPECT_EQ(r->Worksheet(), data_);
  EXPECT_EQ(R("A:C")->RowsCount(), 1048576);
  EXPECT_EQ(R("3:5")->ColumnsCount(), 16384);
  const auto c = R("C3:D4");
  for (const auto& [range, address] : std::vector<std::pair<host::RangePtr, std::string>>{
           {r, "$B$2:$D$5,$F$1"},
           {r->Columns(1), "$B$2:$B$5"},
           {r->Columns(3), "$D$2:$D$5"},
           {r->Columns(4), "$E$2:$E$5"},  // beyond the range, as the host allows
           {c->Cells(1, 1), "$C$3"},
           {c->Cells(2, 2), "$D$4"},
           {c->Cells(5, 7), "$I$7"},  // beyond the range
           {c->Cells(0, 0), "$B$2"},  // above and left of it
           {c->Cells(-1, -1), "$A$1"}}) {
    EXPECT_EQ(range->Address(), address);
  }
  ExpectRaises(1004, {[&] { r->Columns(0); }, [&] { R("XFD1")->Columns(2); }, [&] { c->Cells(-2, 1); },
                      [&] { c->Cells(1048575, 1); }, [&] { R("A1")->Cells(1, 16385); },
                      [&] { R("A1")->Cells(0x7fffffff, 0x7fffffff); }});
}

TEST_F(RangeTest, ValueIsAOneBasedArray) {
  data_->WriteCell(2, 2, Variant(1.5));
  data_->WriteCell(2, 3, Variant("x"));
  data_->WriteCell(3, 3, Variant(true));
  const VariantMatrix v = R("B2:D3")->Value();
  ASSERT_EQ(v.rows(), 2);
  ASSERT_EQ(v.cols(), 3);
  EXPECT_EQ((std::vector{v(1, 1), v(1, 2), v(1, 3), v(2, 2)}),
            (std::vector{Variant(1.5), Variant("x"), Variant(), Variant(true)}));
  const VariantMatrix one = R("B2")->Value();
  EXPECT_EQ(one.rows() * one.cols(), 1);
  EXPECT_EQ(one(1, 1), Variant(1.5));
  EXPECT_EQ(R("C2")->CellValue(), Variant("x"));
  EXPECT_TRUE(R("Z99")->CellValue().IsEmpty());
  EXPECT_EQ(NumberOf([&] { data_->Cells()->Value(); }), 7) << "17 billion cells do not fit in memory";
}

TEST_F(RangeTest, SetValueWritesEveryCellOfEveryArea) {
  R("A1:B2,D4")->SetValue(Variant(7));
  EXPECT_EQ(data_->Store().CellCount(), 5U);
  EXPECT_EQ(data_->ValueAt(2, 2), Variant(7));
  EXPECT_EQ(data_->ValueAt(4, 4), Variant(7));
  R("A1:B1")->SetValue(Variant());
  EXPECT_EQ(data_->Store().CellCount(), 3U);
  data_->Cells(3, 3)->SetValue(Variant("text"));
  EXPECT_EQ(data_->Range("C3")->CellValue(), Variant("text"));
  EXPECT_NO_THROW(R("A:A")->SetValue(Variant(1))) << "a million cells are fine";
  EXPECT_EQ(NumberOf([&] { R("A:AZ")->SetValue(Variant(1)); }), 1004) << "but not 54 million";
}

TEST_F(RangeTest, ClearingAValueKeepsTheFormat) {
  const auto cell = R("B2");
  cell->SetValue(Variant(1));
  cell->NumberFormat("0.00");
  cell->SetValue(Variant());
  EXPECT_TRUE(data_->ValueAt(2, 2).IsEmpty());
  EXPECT_EQ(data_->StyleAt(2, 2).numberFormat, "0.00");
  cell->Clear();
  EXPECT_EQ(data_->StyleAt(2, 2), CellStyle{});
  EXPECT_EQ(data_->Store().CellCount(), 0U);
}

TEST_F(RangeTest, FourValuesFillFourCellsOfARow) {
  const std::vector<Variant> heading = {Variant("Cluster"), Variant("1st Item"), Variant("2nd Item"), Variant("Distance")};
  R("A5:D5")->SetRowValues(heading);
  for (int c = 1; c <= 4; ++c) EXPECT_EQ(data_->ValueAt(5, c), heading[static_cast<std::size_t>(c - 1)]);
  // A wider range gets #N/A past the array; every row of a block gets the array.
  R("A7:E8")->SetRowValues(std::vector<Variant>{Variant(1), Variant(2)});
  EXPECT_EQ(data_->ValueAt(8, 2), Variant(2));
  EXPECT_EQ(data_->ValueAt(8, 3), Variant(CellError{2042}));
  R("A9:B9")->SetRowValues(heading);
  EXPECT_TRUE(data_->ValueAt(9, 3).IsEmpty()) << "a shorter range takes the first values";
}

TEST_F(RangeTest, Formats) {
  const auto r = R("B2:C3");
  r->NumberFormat("0.0000");
  r->HorizontalAlignment(-4108);
  r->Font()->Name("Courier New");
  r->Font()->Size(8);
  r->Font()->Bold(true);
  r->Interior()->ColorIndex(15);
  // The bottom-right cell has every format: font, size, bold, runs, number format,
  // alignment, interior.
  EXPECT_EQ(data_->StyleAt(3, 3), (CellStyle{"Courier New", 8.0, true, {}, "0.0000", -4108, 15}));
  EXPECT_EQ(data_->Store().CellCount(), 4U) << "formatted empty cells are stored";
  EXPECT_EQ(data_->Styles().size(), 7U) << "one interned format per step, shared by the four cells";
  r->NumberFormat("");
  EXPECT_EQ(data_->StyleAt(2, 2).numberFormat, "General");
}

TEST_F(RangeTest, FormatRefusals) {
  const auto r = R("A1");
  r->Interior()->ColorIndex(-4142);
  ExpectRaises(1004, {[&] { r->HorizontalAlignment(99); }, [&] { r->Interior()->ColorIndex(57); },
                      [&] { r->Interior()->ColorIndex(0); }, [&] { r->Font()->Size(0.5); },
                      [&] { r->Font()->Size(410); }, [&] { r->Font()->Name(""); },
                      [&] { R("A1:AZ1048576")->NumberFormat("0"); }, [&] { r->Characters(0, 1); },
                      [&] { r->Characters(1, -1); }});
}

TEST_F(RangeTest, CharacterRunsOfTheTopLeftCell) {
  // The text dendrogram's sequence: the line, the glyph font, the label font, the size.
  const auto cell = R("A3:B3");
  cell->SetValue(Variant("A   AAAB"));
  cell->Font()->Name("Korvel");
  cell->Characters(1, 4)->Font()->Name("Courier New");
  cell->Font()->Size(8);
  EXPECT_EQ(data_->StyleAt(3, 1),
            (CellStyle{"Korvel", 8.0, false, {{1, 4, "Courier New", {}, {}}}, "General", kAlignGeneral,
                       kColorIndexNone}));
  EXPECT_TRUE(data_->StyleAt(3, 2).runs.empty()) << "only the top-left cell";
  cell->Characters(2, 1)->Font()->Size(10);
  cell->Characters(2, 1)->Font()->Bold(true);
  EXPECT_EQ(data_->StyleAt(3, 1).runs.size(), 3U);
  // A new value drops the runs that formatted the old text.
  cell->Cells(1, 1)->SetValue(Variant("new"));
  EXPECT_TRUE(data_->StyleAt(3, 1).runs.empty());
  EXPECT_EQ(data_->StyleAt(3, 1).fontName, "Korvel");
}

TEST_F(RangeTest, GeometryInPoints) {
  const auto r = R("B3:C4");
  const auto topLeftHeightWidth = [&] { return std::vector{r->Top(), r->Left(), r->Height(), r->Width()}; };
  EXPECT_EQ(topLeftHeightWidth(), (std::vector{30.0, 48.0, 30.0, 96.0}));
  data_->SetRowHeight(1, 20);
  data_->SetRowHeight(4, 40);
  data_->SetColumnWidth(2, 10);
  EXPECT_EQ(topLeftHeightWidth(), (std::vector{35.0, 48.0, 55.0, 58.0}));
  const auto last = data_->Cells(1048576, 1);
  EXPECT_EQ(last->Top() + last->Height(), 1048576.0 * 15 + 5 + 25);
  EXPECT_EQ(data_->Geometry().SizedRows().size(), 2U);
  data_->SetRowHeight(4, 15);  // the default height again: no longer a sized row
  EXPECT_EQ(data_->Geometry().SizedRows().size(), 1U);
  ExpectRaises(1004, {[&] { data_->SetRowHeight(1, 410); }, [&] { data_->SetRowHeight(1, -1); },
                      [&] { data_->SetColumnWidth(16385, 10); }, [&] { data_->SetColumnWidth(1, 2000); }});
}

TEST_F(RangeTest, SelectNeedsTheActiveSheet) {
  R("B2:C3")->Select();
  EXPECT_EQ(data_->Selection(), std::vector<CellBlock>{(CellBlock{2, 2, 3, 3})});
  ExpectRaises(1004, {[&] { other_->Cells(1, 1)->Select(); }, [&] { Scratch()->Cells(1, 1)->Select(); }});
  other_->Activate();
  other_->Cells(1, 1)->Select();
}

}  // namespace
}  // namespace dez::embedded::test
