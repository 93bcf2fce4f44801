// The report's sections: OutputHeader (the lines by data type, the measure line's power,
// the heading range and the cursor), OutputCorrelation and OutputSchedule (layouts and
// formats).
#include "dezezuvazoz/enums.h"
#include "report_test_support.h"

namespace dez::report_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class HeaderTest : public ReportTest {
 protected:
  /// A writer with the options set as the controller sets them.
  std::unique_ptr<clsHClusterOutput> Writer(std::int32_t type, std::int32_t measure, std::int16_t power) {
    auto out = std::make_unique<clsHClusterOutput>(context_);
    out->Method(dezEZuvazozMethGroupAvg);
    out->MethodText("Group Average");
    out->ClusterType(type);
    out->Measure(measure);
    out->MeasureText("Euclidean");
    out->Power(power);
    return out;
  }
};

struct HeaderCase {
  std::int32_t type;
  std::int32_t measure;
  std::int16_t power;
  std::vector<Variant> columnA;  // rows 1, 2, ...
  const char* headingRange;      // nullptr: none
  std::int32_t cursor;
};

TEST_F(HeaderTest, LinesHeadingRangeAndCursorByDataType) {
  const std::string title = "Hierarchical Clustering Results for:";
  const std::string measure = "Distance/Similarity Measure = Euclidean";
  const std::string method = "Cluster Method = Group Average";
  const HeaderCase cases[] = {
      {0, 3, 3, {title, "Binomial Data Set = Data!$A$1:$E$5", measure, method}, "$A$1:$A$4", 5},
      {1, 4, 3, {title, "Quantitative Data Set = Data!$A$1:$E$5", measure, method}, "$A$1:$A$4", 5},
      {1, 5, 12, {title, "Quantitative Data Set = Data!$A$1:$E$5", measure + " Power 12", method}, "$A$1:$A$4", 5},
      {1, 5, -2, {title, "Quantitative Data Set = Data!$A$1:$E$5", measure + " Power -2", method}, "$A$1:$A$4", 5},
      {2, 5, 3, {title, "Mixed Data Set = Data!$A$1:$E$5", measure, method}, "$A$1:$A$4", 5},
      {3, 5, 3, {title, "Distance Matrix = Data!$A$1:$E$5", method}, "$A$1:$A$3", 4},
      {4, 0, 3, {title, "Similarity Matrix = Data!$A$1:$E$5", method}, "$A$1:$A$3", 4},
      {7, 5, 3, {title}, nullptr, 5},
  };
  for (const HeaderCase& c : cases) {
    SCOPED_TRACE("type " + std::to_string(c.type) + ", measure " + std::to_string(c.measure));
    auto out = Writer(c.type, c.measure, c.power);
    TakeFormats();
    out->OutputHeader("Data!$A$1:$E$5");
    for (std::size_t i = 0; i < c.columnA.size(); ++i) {
      EXPECT_EQ(At(static_cast<std::int32_t>(i + 1), 1), c.columnA[i]) << "row " << i + 1;
    }
    EXPECT_EQ(Sheet().UsedRange()->bottom, static_cast<std::int32_t>(c.columnA.size()));
    EXPECT_EQ(Sheet().UsedRange()->right, 1);
    if (c.headingRange != nullptr) {
      EXPECT_THAT(TakeFormats(), ElementsAre(FormatCall{"TextLine", c.headingRange, true}));
    } else {
      EXPECT_THAT(TakeFormats(), IsEmpty());
    }
    EXPECT_EQ(out->CurrentRow(), c.cursor);
  }
}

// The comment is one more heading line; the heading range stays at rows 1 to 4 wherever
// the header starts.
TEST_F(HeaderTest, CommentAndAHeaderFurtherDown) {
  auto out = Writer(dezEZuvazozBinomial, 3, 0);
  out->InsertBlankLines(2);
  TakeFormats();
  out->OutputHeader("S!$A$1", "Note");
  EXPECT_EQ(At(3, 1), Variant("Hierarchical Clustering Results for:"));
  EXPECT_EQ(At(6, 1), Variant("Cluster Method = Group Average"));
  EXPECT_EQ(At(7, 1), Variant("Note"));
  EXPECT_THAT(TakeFormats(), ElementsAre(FormatCall{"TextLine", "$A$1:$A$4", true},
                                         FormatCall{"TextLine", "$A$7", true}));
  EXPECT_EQ(out->CurrentRow(), 8);
}

class TableTest : public ReportTest {};

TEST_F(TableTest, CorrelationTableIsThreeRows) {
  clsHClusterOutput out(context_);
  out.InsertBlankLines(1);
  out.OutputCorrelation(0.85, 43, 0.0001);
  ExpectRow(1, {}, 4);
  ExpectRow(2, {"Cophenetic Correlation"}, 4);
  ExpectRow(3, {"R", "DF", "P"}, 4);
  ExpectRow(4, {0.85, 43.0, 0.0001}, 4);
  EXPECT_EQ(StyleAt(4, 2).numberFormat, "0");
  EXPECT_EQ(StyleAt(4, 1).numberFormat, "General");
  EXPECT_EQ(StyleAt(4, 3).numberFormat, "General");
  EXPECT_THAT(TakeFormats(), ElementsAre(FormatCall{"TextLine", "$A$2", false},
                                         FormatCall{"HeadingBand", "$A$3:$C$3", false},
                                         FormatCall{"ValueBlock", "$A$4:$C$4", false}));
  EXPECT_EQ(out.CurrentRow(), 5);
  EXPECT_EQ(out.UsedColumns(), 1);
}

/// The schedule of three items A, B, C: items 2 and 1 joined at 1, then cluster 4 and
/// item 3 at 2.
Schedule ThreeItems() {
  Schedule s(5);
  for (std::int16_t e = 1; e <= 3; ++e) s[e] = {e, 0, {e}, 0.0, 0.0};
  s[4] = {2, 1, {2, 1}, 1.0, 0.0};
  s[5] = {4, 3, {2, 1, 3}, 2.0, 0.0};
  return s;
}

TEST_F(TableTest, ScheduleOfThreeItemsWithDistances) {
  clsHClusterOutput out(context_);
  out.OutputComment("x");
  TakeFormats();
  out.OutputSchedule(StringArray({"A", "B", "C"}), ThreeItems(), true);
  ExpectRow(2, {"Clustering Strategy"}, 5);
  ExpectRow(3, {"Cluster", "1st Item", "2nd Item", "Distance"}, 5);
  ExpectRow(4, {1.0, "B", "A", 1.0}, 5);
  ExpectRow(5, {2.0, "Cluster 1", "C", 2.0}, 5);
  ExpectRow(6, {}, 5);
  EXPECT_EQ(out.CurrentRow(), 6);
  EXPECT_THAT(TakeFormats(), ElementsAre(FormatCall{"TextLine", "$A$2", false},
                                         FormatCall{"HeadingBand", "$A$3:$D$3", false},
                                         FormatCall{"ValueBlock", "$A$4:$D$5", false}));
  for (std::int32_t row : {4, 5}) {
    EXPECT_EQ(StyleAt(row, 1).numberFormat, "0");
    EXPECT_EQ(StyleAt(row, 2).horizontalAlignment, context_.hostConstants->AlignCenter());
    EXPECT_EQ(StyleAt(row, 3).horizontalAlignment, context_.hostConstants->AlignCenter());
    EXPECT_NE(StyleAt(row, 4).horizontalAlignment, context_.hostConstants->AlignCenter());
    EXPECT_EQ(StyleAt(row, 4).numberFormat, "General");
  }
  EXPECT_EQ(StyleAt(3, 1).numberFormat, "General");
  EXPECT_EQ(out.UsedColumns(), 1);
}

// Similarities print unchanged under their own heading; a step joining two clusters
// names both by their step.
TEST_F(TableTest, SimilaritiesAndStepsJoiningTwoClusters) {
  Schedule s = ThreeItems();
  s[4].level = -0.25;
  s[5].level = -0.75;
  clsHClusterOutput out(context_);
  out.OutputSchedule(StringArray({"A", "B", "C"}), s, false);
  ExpectRow(2, {"Cluster", "1st Item", "2nd Item", "Similarity"});
  ExpectRow(3, {1.0, "B", "A", -0.25});
  ExpectRow(4, {2.0, "Cluster 1", "C", -0.75});
  Schedule four(7);
  for (std::int16_t e = 1; e <= 4; ++e) four[e] = {e, 0, {e}, 0.0, 0.0};
  four[5] = {1, 2, {1, 2}, 1.0, 0.0};
  four[6] = {3, 4, {3, 4}, 1.5, 0.0};
  four[7] = {6, 5, {3, 4, 1, 2}, 3.0, 0.0};
  clsHClusterOutput again(context_);
  again.OutputSchedule(Labels(4), four, true);
  ExpectRow(5, {3.0, "Cluster 2", "Cluster 1", 3.0});
}

TEST_F(TableTest, ItemOutsideTheLabelsIsSubscriptOutOfRange) {
  Schedule s = ThreeItems();
  s[5].second = 0;
  clsHClusterOutput out(context_);
  const Error e = ErrorOf([&] { out.OutputSchedule(StringArray({"A", "B", "C"}), s, true); });
  EXPECT_EQ(e.number, fault::kSubscriptOutOfRange);
  EXPECT_THAT(e.source, SourceOf("OutputSchedule"));
  EXPECT_EQ(At(3, 2), Variant("B"));  // the first step row stays
  EXPECT_EQ(At(4, 1), Variant(2.0));  // and the second up to the failing name
  EXPECT_EQ(At(4, 2), Variant("Cluster 1"));
  EXPECT_EQ(At(4, 3), Variant());
}

}  // namespace
}  // namespace dez::report_test
