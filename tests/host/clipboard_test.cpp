// Copy and PasteSpecial: values and formats, other workbooks, overlaps, sparse blocks
// and failures.
#include <gtest/gtest.h>

#include "host/embedded/object_model_constants.h"
#include "host_test_support.h"

namespace dez::embedded::test {
namespace {

class ClipboardTest : public HostTest {
 protected:
  // A report block on the scratch sheet as the report writer leaves it: white sheet,
  // a bold heading, numbers with four decimals, a gap at B2.
  void WriteReport() {
    const auto s = Scratch();
    s->Cells()->Clear();
    s->Cells()->Interior()->ColorIndex(kColorIndexWhite);
    s->Cells(1, 1)->SetValue(Variant("Heading"));
    s->Cells(1, 1)->Font()->Bold(true);
    s->Cells(2, 1)->SetValue(Variant(0.5));
    s->Cells(2, 1)->NumberFormat("0.0000");
    s->Cells(3, 2)->SetValue(Variant("x"));
  }
  /// Expects the report block with its top-left cell at (row, column) of `target`.
  static void ExpectReport(const EmbeddedWorksheet& target, std::int32_t row, std::int32_t column) {
    EXPECT_EQ(target.ValueAt(row, column), Variant("Heading"));
    EXPECT_TRUE(target.StyleAt(row, column).bold);
    EXPECT_EQ(target.StyleAt(row, column).interiorColorIndex, kColorIndexWhite);
    EXPECT_EQ(target.ValueAt(row + 1, column), Variant(0.5));
    EXPECT_EQ(target.StyleAt(row + 1, column).numberFormat, "0.0000");
    EXPECT_EQ(target.ValueAt(row + 2, column + 1), Variant("x"));
    EXPECT_EQ(target.StyleAt(row + 2, column + 1).interiorColorIndex, kColorIndexWhite);
  }
};

TEST_F(ClipboardTest, PasteAllBringsValuesAndFormatsAndReplacesWhatWasThere) {
  WriteReport();
  data_->WriteCell(6, 4, Variant("under a blank"));
  data_->WriteCell(9, 9, Variant("elsewhere"));
  app_->Range(Scratch()->Cells(1, 1), Scratch()->Cells(3, 2))->Copy();
  data_->Cells(5, 3)->PasteSpecial(kPasteAll);
  ExpectReport(*data_, 5, 3);
  EXPECT_TRUE(data_->ValueAt(6, 4).IsEmpty()) << "a blank source cell clears the target";
  // Only what the block holds is pasted: its empty cells keep the target's default.
  EXPECT_EQ(data_->StyleAt(5, 4).interiorColorIndex, kColorIndexNone);
  EXPECT_EQ(data_->StyleAt(5, 5).interiorColorIndex, kColorIndexNone);
  EXPECT_EQ(data_->Store().CellCount(), 4U) << "three pasted and the one elsewhere";
  EXPECT_EQ(data_->ValueAt(9, 9), Variant("elsewhere"));
}

// The block into another workbook, which interns the formats in its own table, and the
// whole sheet, whose default format comes along.
TEST_F(ClipboardTest, PasteIntoAnotherWorkbookAndOfTheWholeSheet) {
  WriteReport();
  const auto second = app_->AddWorkbook("Second.xlsx");
  const auto target = second->Sheets()[0];
  app_->Range(Scratch()->Cells(1, 1), Scratch()->Cells(3, 2))->Copy();
  target->Cells(1, 1)->PasteSpecial(kPasteAll);
  ExpectReport(*target, 1, 1);
  EXPECT_LE(second->Styles().size(), 4U);
  Scratch()->Cells()->Copy();
  data_->Cells(1, 1)->PasteSpecial(kPasteAll);
  ExpectReport(*data_, 1, 1);
  EXPECT_EQ(data_->StyleAt(1000, 1000).interiorColorIndex, kColorIndexWhite);
  EXPECT_EQ(data_->Store().CellCount(), Scratch()->Store().CellCount());
}

// The clipboard holds the source block, not its contents: a paste shows the cells as
// they are at paste time, also when the target overlaps the source.
TEST_F(ClipboardTest, PasteShowsTheSourceAsItIsAtPasteTime) {
  for (int r = 1; r <= 3; ++r) data_->WriteCell(r, 1, Variant(std::string(1, static_cast<char>('a' + r - 1))));
  R("A1:A3")->Copy();
  data_->WriteCell(1, 1, Variant("after"));
  other_->Cells(1, 1)->PasteSpecial(kPasteAll);
  EXPECT_EQ(other_->ValueAt(1, 1), Variant("after"));
  data_->Cells(2, 1)->PasteSpecial(kPasteAll);  // the clipboard stays
  EXPECT_EQ(data_->ValueAt(1, 1), Variant("after"));
  EXPECT_EQ(data_->ValueAt(2, 1), Variant("after"));
  EXPECT_EQ(data_->ValueAt(3, 1), Variant("b"));  // texts, which a move would leave empty
  EXPECT_EQ(data_->ValueAt(4, 1), Variant("c"));
  R("A3:B3")->Copy();  // one column to the right, along the same row
  data_->Cells(3, 2)->PasteSpecial(kPasteAll);
  EXPECT_EQ(data_->ValueAt(3, 2), Variant("b"));
}

TEST_F(ClipboardTest, Failures) {
  ExpectRaises(1004, {[&] { data_->Cells(1, 1)->PasteSpecial(kPasteAll); },  // nothing copied
                      [&] { R("A1,B2")->Copy(); }});
  R("A1:B2")->Copy();
  const Error e = ErrorOf([&] { data_->Cells(1048576, 1)->PasteSpecial(kPasteAll); });
  EXPECT_EQ(e.number, 1004);
  EXPECT_NE(e.description.find("does not fit"), std::string::npos);
  EXPECT_EQ(NumberOf([&] { data_->Cells(1, 16384)->PasteSpecial(kPasteAll); }), 1004);
  // The component pastes values and formats; other kinds are not provided.
  EXPECT_EQ(NumberOf([&] { data_->Cells(1, 1)->PasteSpecial(-4163); }), 1004);
}

TEST_F(ClipboardTest, SparseBlockCostsItsCellsNotItsArea) {
  // A block of 17 billion cells on a filled sheet holding three cells: the paste visits
  // those, and the target's cells inside the block (one here) are cleared.
  Scratch()->Cells()->Interior()->ColorIndex(kColorIndexWhite);
  Scratch()->Cells(1, 1)->SetValue(Variant("top"));
  Scratch()->Cells(524288, 8000)->SetValue(Variant(0.25));
  Scratch()->Cells(1048576, 16383)->SetValue(Variant("corner"));
  data_->WriteCell(7, 7, Variant("under the block"));
  data_->WriteCell(1, 16384, Variant("beside the block"));
  Scratch()->Range("A1:XFC1048576")->Copy();
  data_->Cells(1, 1)->PasteSpecial(kPasteAll);
  EXPECT_EQ(data_->ValueAt(1, 1), Variant("top"));
  EXPECT_EQ(data_->ValueAt(524288, 8000), Variant(0.25));
  EXPECT_EQ(data_->StyleAt(1048576, 16383).interiorColorIndex, kColorIndexWhite);
  EXPECT_EQ(data_->StyleAt(2, 2).interiorColorIndex, kColorIndexNone);
  EXPECT_TRUE(data_->ValueAt(7, 7).IsEmpty());
  EXPECT_EQ(data_->ValueAt(1, 16384), Variant("beside the block"));
  EXPECT_EQ(data_->Store().CellCount(), 4U);
}

}  // namespace
}  // namespace dez::embedded::test
