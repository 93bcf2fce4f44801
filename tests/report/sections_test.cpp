// The report's sections: OutputHeader (the lines by data type, the measure line's power,
// the heading range and the cursor), OutputCorrelation and OutputSchedule (layouts and
// formats).
#include "dezezuvazoz/enums.h"
#include "report_test_support.h"

namespace dez::report_test {
namespace {

using ::testing::ElementsAre;

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
  std::vector<std::string> columnA;  // rows 1, 2, ...
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
    std::string lines;
    for (const std::string& line : c.columnA) lines += line + "\n";
    EXPECT_EQ(Text(), lines);
    const std::vector<FormatCall> heading{{"TextLine", c.headingRange ? c.headingRange : "", true}};
    EXPECT_EQ(TakeFormats(), c.headingRange ? heading : std::vector<FormatCall>{});
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

// The tables as a reader sees them: numbers right, text left, the item names centred.
TEST_F(TableTest, CorrelationTableIsThreeRows) {
  clsHClusterOutput out(context_);
  out.InsertBlankLines(1);
  out.OutputCorrelation(0.85, 43, 0.0001);
  EXPECT_EQ(Text(), "\nCophenetic Correlation\nR     DF  P\n0.85  43  0.0001\n");
  EXPECT_EQ(StyleAt(4, 2).numberFormat, "0");
  EXPECT_THAT(TakeFormats(), ElementsAre(FormatCall{"TextLine", "$A$2", false},
                                         FormatCall{"HeadingBand", "$A$3:$C$3", false},
                                         FormatCall{"ValueBlock", "$A$4:$C$4", false}));
  EXPECT_EQ(out.CurrentRow(), 5);
  EXPECT_EQ(out.UsedColumns(), 1);
}

/// Three items A, B, C: items 2 and 1 joined at 1, then cluster 4 and item 3 at 2.
Schedule ThreeItems() { return Tree(3, 0.0, {{2, 1, {2, 1}, 1.0, 0.0}, {4, 3, {2, 1, 3}, 2.0, 0.0}}); }

TEST_F(TableTest, ScheduleOfThreeItemsWithDistances) {
  clsHClusterOutput out(context_);
  out.OutputComment("x");
  TakeFormats();
  Schedule s = ThreeItems();
  s[5].level = 2.25;  // a fraction shows the General format of the level column
  out.OutputSchedule(StringArray({"A", "B", "C"}), s, true);
  EXPECT_EQ(Text(), "x\n"
                    "Clustering Strategy\n"
                    "Cluster  1st Item   2nd Item  Distance\n"
                    "      1      B         A         1\n"
                    "      2  Cluster 1     C      2.25\n");
  EXPECT_EQ(out.CurrentRow(), 6);
  EXPECT_THAT(TakeFormats(), ElementsAre(FormatCall{"TextLine", "$A$2", false},
                                         FormatCall{"HeadingBand", "$A$3:$D$3", false},
                                         FormatCall{"ValueBlock", "$A$4:$D$5", false}));
  EXPECT_EQ(StyleAt(5, 1).numberFormat, "0");
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
  EXPECT_EQ(Text(), "Clustering Strategy\n"
                    "Cluster  1st Item   2nd Item  Similarity\n"
                    "      1      B         A      -0.25\n"
                    "      2  Cluster 1     C      -0.75\n");
  clsHClusterOutput again(context_);
  again.OutputSchedule(Labels(4), Tree(4, 0.0, {{1, 2, {1, 2}, 1.0, 0.0}, {3, 4, {3, 4}, 1.5, 0.0},
                                                {6, 5, {3, 4, 1, 2}, 3.0, 0.0}}), true);
  EXPECT_EQ(At(5, 2), Variant("Cluster 2"));
  EXPECT_EQ(At(5, 3), Variant("Cluster 1"));
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
