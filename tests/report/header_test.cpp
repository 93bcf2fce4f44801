// OutputHeader: the lines by data type, the measure line's power, the heading range and
// the cursor.
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

}  // namespace
}  // namespace dez::report_test
