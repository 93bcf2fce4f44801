// The writer's scratch sheet, cursor, comments, Results and error sources.
#include <functional>
#include <limits>

#include "report_test_support.h"

namespace dez::report_test {
namespace {

using ::testing::ElementsAre;

class OutputSheetTest : public ReportTest {};

TEST_F(OutputSheetTest, CreationClearsTheScratchSheetAndColoursIt) {
  embedded::CellStyle bold;
  bold.bold = true;
  Sheet().WriteCell(5, 5, Variant("left over"), bold);
  Sheet().WriteCell(1, 1, Variant(3.0));
  clsHClusterOutput out(context_);
  EXPECT_FALSE(Sheet().UsedRange().has_value());
  EXPECT_EQ(Sheet().DefaultStyle().interiorColorIndex, context_.newReportSettings()->BackColorIndex());
  EXPECT_FALSE(Sheet().DefaultStyle().bold);
  EXPECT_EQ(out.CurrentRow(), 1);
  EXPECT_EQ(out.UsedColumns(), 1);
  EXPECT_TRUE(TakeFormats().empty());
}

TEST_F(OutputSheetTest, BlankLinesMoveTheCursorWithoutWritingACommentTakesOneRowAndItsBlankLines) {
  clsHClusterOutput out(context_);
  out.InsertBlankLines(0);
  EXPECT_EQ(out.CurrentRow(), 1);
  out.InsertBlankLines(3);
  EXPECT_EQ(out.CurrentRow(), 4);
  out.InsertBlankLines(-3);
  EXPECT_FALSE(Sheet().UsedRange().has_value());
  EXPECT_TRUE(TakeFormats().empty());
  out.OutputComment("abc");
  EXPECT_EQ(out.CurrentRow(), 2);
  out.OutputComment("abc", 2, true);
  EXPECT_EQ(out.CurrentRow(), 5);
  out.OutputComment("42");  // a text that reads as a number stays a text: left-aligned
  EXPECT_EQ(Text(), "abc\nabc\n\n\n42\n");
  EXPECT_THAT(TakeFormats(), ElementsAre(FormatCall{"TextLine", "$A$1", false}, FormatCall{"TextLine", "$A$2", true},
                                         FormatCall{"TextLine", "$A$5", false}));
}

TEST_F(OutputSheetTest, ReportOfCommentsOnlyIsSixColumnsWideAndIncludesTheCursorRow) {
  clsHClusterOutput out(context_);
  out.OutputComment("There are undefined numbers in the");
  out.OutputComment("distance/similarity matrix.");
  out.OutputComment("Execution was halted.");
  out.InsertBlankLines(1);
  TakeFormats();
  const host::RangePtr block = out.Results();
  EXPECT_EQ(block->Address(), "$A$1:$F$5");
  EXPECT_EQ(block->Worksheet()->Name(), "Results");
  EXPECT_THAT(TakeFormats(), ElementsAre(FormatCall{"TextLine", "$A$5", true}));
  EXPECT_EQ(out.UsedColumns(), 6);
  EXPECT_EQ(out.Results()->Address(), "$A$1:$F$5");  // may be read again
}

TEST_F(OutputSheetTest, CreationFailuresNameInitialize) {
  const auto formatter = std::exchange(context_.newCellFormatter, nullptr);  // a missing library object
  const Error notSet = ErrorOf([&] { clsHClusterOutput out(context_); });
  EXPECT_EQ(notSet.number, fault::kObjectNotSet);
  EXPECT_THAT(notSet.source, SourceOf("Initialize"));
  context_.newCellFormatter = formatter;
  Sheet().Name("Scratch");  // no scratch sheet: the host's error
  const Error missing = ErrorOf([&] { clsHClusterOutput out(context_); });
  EXPECT_EQ(missing.number, fault::kSubscriptOutOfRange);
  EXPECT_THAT(missing.source, SourceOf("Initialize"));
  struct FailingAccess final : host::clsHostAccess {
    host::ApplicationPtr HostApplication(host::Loc where) override {
      Raise(fault::kObjectNotSet, "Line 2 in DEZEZuvazoz.clsHostAccess.HostApplication", {}, where);
    }
  };
  context_.hostAccess = std::make_shared<FailingAccess>();  // a located source gets the name appended
  const Error located = ErrorOf([&] { clsHClusterOutput out(context_); });
  EXPECT_EQ(located.number, fault::kObjectNotSet);
  EXPECT_EQ(located.source, "Line 2 in DEZEZuvazoz.clsHostAccess.HostApplication.Initialize");
}

TEST_F(OutputSheetTest, CursorOverflowIsAnErrorAndKeepsTheCursor) {
  clsHClusterOutput out(context_);
  const std::int32_t steps = std::numeric_limits<std::int32_t>::max() / 32767;
  for (std::int32_t i = 0; i < steps; ++i) out.InsertBlankLines(32767);
  const std::int32_t before = out.CurrentRow();
  const Error e = ErrorOf([&] { out.InsertBlankLines(32767); });
  EXPECT_EQ(e.number, fault::kOverflow);
  EXPECT_THAT(e.source, SourceOf("InsertBlankLines"));
  EXPECT_EQ(out.CurrentRow(), before);
}

// A failing formatter call inside each procedure: an unlocated source is labelled with
// the procedure, a located one gets its name appended (OutputSchedule appends
// "OutputMatrix"; Results always labels anew); what was written stays, the cursor too.
TEST_F(OutputSheetTest, ErrorSourcesAndWhatAFailureLeaves) {
  const struct {
    const char* procedure;
    const char* role;
    std::function<void(clsHClusterOutput&)> call;
    const char* appended;  // nullptr: labelled anew
    std::int32_t row, column;
    Variant kept;
    std::int32_t cursor;  // 0: not checked
  } cases[] = {
      {"OutputHeader", "TextLine", [](auto& o) { o.OutputHeader("x"); }, ".OutputHeader", 4, 1,
       Variant("Cluster Method = "), 1},
      {"OutputMatrix", "ValueBlock", [](auto& o) { o.OutputMatrix(Labels(2), Labels(2), DoubleMatrix(2, 2), "T"); },
       ".OutputMatrix", 3, 1, Variant("L1"), 0},
      {"OutputSchedule", "HeadingBand",
       [](auto& o) { o.OutputSchedule(Labels(2), Tree(2, 0.0, {{2, 1, {2, 1}, 1.0, 0.0}}), true); },
       ".OutputMatrix", 2, 4, Variant("Distance"), 0},
      {"OutputCorrelation", "ValueBlock", [](auto& o) { o.OutputCorrelation(1.0, 1, 0.5); }, ".OutputCorrelation", 3,
       3, Variant(0.5), 2},
      {"OutputComment", "TextLine", [](auto& o) { o.OutputComment("abc"); }, ".OutputComment", 1, 1, Variant("abc"),
       1},
      {"GetResults", "TextLine", [](auto& o) { (void)o.Results(); }, nullptr, 1, 1, Variant(), 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.procedure);
    formats_->failRole = c.role;
    for (const std::string located : {"", "Line 7 in DEZEZuvazoz.clsCellFormatter.FormatX"}) {
      formats_->failSource = located;
      clsHClusterOutput out(context_);
      const Error e = ErrorOf([&] { c.call(out); });
      EXPECT_EQ(e.number, fault::kApplicationDefined);
      EXPECT_EQ(e.description, "formatter refused");
      if (located.empty() || c.appended == nullptr) {
        EXPECT_THAT(e.source, SourceOf(c.procedure));
      } else {
        EXPECT_EQ(e.source, located + c.appended);
      }
      EXPECT_EQ(At(c.row, c.column), c.kept);
      if (c.cursor != 0) {
        EXPECT_EQ(out.CurrentRow(), c.cursor);
      }
    }
  }
}

}  // namespace
}  // namespace dez::report_test
