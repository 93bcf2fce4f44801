// OutputCorrelation and OutputSchedule: layouts, formats and error sources.
#include "report_test_support.h"

namespace dez::report_test {
namespace {

using ::testing::ElementsAre;

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
