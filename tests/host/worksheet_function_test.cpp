// Worksheet functions: Count, CountA, CountIf, Var and TDist with the host's rules.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "host/embedded/countif_criterion.h"
#include "host/embedded/embedded_worksheet_function.h"
#include "host_test_support.h"

namespace dez::embedded::test {
namespace {

class WorksheetFunctionTest : public HostTest {
 protected:
  // Column A, rows 1..: the values below; row 9 is left empty, so A1:A10 has two blanks
  // (A9 and A10).
  WorksheetFunctionTest() {
    const std::vector<Variant> column = {Variant(1),      Variant(0),      Variant("1"),      Variant(true),
                                         Variant("abc"),  Variant(""),     Variant(CellError{2042}),
                                         Variant(2.5)};
    for (std::size_t i = 0; i < column.size(); ++i) data_->WriteCell(static_cast<std::int32_t>(i + 1), 1, column[i]);
  }
  EmbeddedWorksheetFunction f_;
};

TEST_F(WorksheetFunctionTest, CountCountsNumberCellsCountAEveryNonEmptyCell) {
  EXPECT_EQ(f_.Count(R("A1:A10")), 3.0);
  EXPECT_EQ(f_.Count(R("A1:A10,A1")), 4.0) << "overlapping areas count twice";
  EXPECT_EQ(f_.Count(R("B1:B10")), 0.0);
  EXPECT_EQ(f_.Count(R("A:A")), 3.0);
  EXPECT_EQ(f_.CountA(R("A1:A10")), 8.0) << "the empty text and the error value count";
  data_->Cells(20, 1)->NumberFormat("0");
  EXPECT_EQ(f_.CountA(R("A1:A20")), 8.0) << "a format alone does not";
}

struct CountIfCase {
  Variant criterion;
  double expected;
};

TEST_F(WorksheetFunctionTest, CountIfCriteria) {
  // A1:A10 = 1, 0, "1", TRUE, "abc", "", #N/A, 2.5, empty, empty
  const std::vector<CountIfCase> cases = {
      {Variant(1), 2},          // the number and the text that reads as it
      {Variant(0), 1},          // empty cells are not 0 here
      {Variant(), 1},           // an empty criterion stands for 0
      {Variant("1"), 2},
      {Variant("=1"), 2},
      {Variant("<>1"), 8},      // everything else, blanks included
      {Variant(">0"), 2},       // numbers only: 1 and 2.5
      {Variant(">=1"), 2},
      {Variant("<1"), 1},
      {Variant("<=2.5"), 3},
      {Variant(true), 1},
      {Variant("true"), 1},
      {Variant("<>TRUE"), 9},
      {Variant("ABC"), 1},      // letter case does not matter
      {Variant("a*"), 1},
      {Variant("?b?"), 1},
      {Variant("*"), 3},        // every text, the empty one too
      {Variant("~*"), 0},
      {Variant(""), 3},         // empty cells and the empty text
      {Variant("="), 2},        // empty cells only
      {Variant("<>"), 8},       // every non-empty cell
      {Variant(CellError{2042}), 1},
      {Variant("#N/A"), 1},
      {Variant(">a"), 1},       // texts after "a": "abc"
      {Variant("zzz"), 0},
  };
  for (const CountIfCase& c : cases) {
    EXPECT_EQ(f_.CountIf(R("A1:A10"), c.criterion), c.expected)
        << (c.criterion.IsText() ? c.criterion.text() : std::string("non-text criterion"));
  }
}

TEST(CountIfCriterion, WildcardsAndEscapes) {
  EXPECT_TRUE(CountIfCriterion(Variant("a*c")).Matches(Variant("abbbc")));
  EXPECT_TRUE(CountIfCriterion(Variant("a*c")).Matches(Variant("ac")));
  EXPECT_FALSE(CountIfCriterion(Variant("a*c")).Matches(Variant("acb")));
  EXPECT_TRUE(CountIfCriterion(Variant("*x*y*")).Matches(Variant("axbycy")));
  EXPECT_TRUE(CountIfCriterion(Variant("a~?")).Matches(Variant("a?")));
  EXPECT_FALSE(CountIfCriterion(Variant("a~?")).Matches(Variant("ab")));
  EXPECT_TRUE(CountIfCriterion(Variant("\xC3\x9C?")).Matches(Variant("\xC3\x9C" "x")));
  EXPECT_TRUE(CountIfCriterion(Variant("?")).Matches(Variant("\xC3\x9C"))) << "? stands for one character";
  EXPECT_FALSE(CountIfCriterion(Variant("abc")).Matches(Variant(1)));
  EXPECT_FALSE(CountIfCriterion(Variant(1)).Matches(Variant(true)));
}

TEST_F(WorksheetFunctionTest, CountIfCountsBlanksWithoutVisitingThemAndRefusesSeveralAreas) {
  EXPECT_EQ(f_.CountIf(R("B:B"), Variant("")), 1048576.0);
  EXPECT_EQ(f_.CountIf(R("A:A"), Variant("<>")), 8.0);
  EXPECT_EQ(NumberOf([&] { f_.CountIf(R("A1,A2"), Variant(1)); }), 1004);
  EXPECT_EQ(NumberOf([&] { f_.CountIf(nullptr, Variant(1)); }), 91);
}

TEST_F(WorksheetFunctionTest, VarIsTheSampleVarianceOfTheNumbers) {
  for (int r = 1; r <= 4; ++r) data_->WriteCell(r, 2, Variant(r));
  data_->WriteCell(5, 2, Variant("9"));  // a number text is skipped
  data_->WriteCell(6, 2, Variant(true));
  EXPECT_DOUBLE_EQ(f_.Var(R("B1:B10")), 5.0 / 3.0);
  for (int r = 1; r <= 5; ++r) data_->WriteCell(r, 3, Variant(0.1));
  EXPECT_EQ(f_.Var(R("C1:C5")), 0.0) << "equal values have no variance, exactly";
  data_->WriteCell(1, 4, Variant(1e9 + 4));
  data_->WriteCell(2, 4, Variant(1e9 + 7));
  data_->WriteCell(3, 4, Variant(1e9 + 13));
  data_->WriteCell(4, 4, Variant(1e9 + 16));
  EXPECT_DOUBLE_EQ(f_.Var(R("D1:D4")), 30.0) << "a large offset does not spoil the result";
}

TEST_F(WorksheetFunctionTest, VarFailures) {
  data_->WriteCell(1, 2, Variant(5));
  const Error few = ErrorOf([&] { f_.Var(R("B1:B10")); });
  EXPECT_EQ(few.number, 1004);
  EXPECT_NE(few.description.find("#DIV/0!"), std::string::npos);
  const Error error = ErrorOf([&] { f_.Var(R("A1:A10")); });
  EXPECT_EQ(error.number, 1004);
  EXPECT_NE(error.description.find("#N/A"), std::string::npos);
  data_->WriteCell(2, 2, Variant(-1.5e308));
  data_->WriteCell(3, 2, Variant(1.5e308));
  EXPECT_NE(ErrorOf([&] { f_.Var(R("B1:B3")); }).description.find("#NUM!"), std::string::npos);
}

TEST_F(WorksheetFunctionTest, TDist) {
  EXPECT_NEAR(f_.TDist(2.0, 10, 2), 0.0733880347, 1e-9);
  EXPECT_NEAR(f_.TDist(2.0, 10, 1), 0.0366940174, 1e-9);
  ExpectRaises(1004, {[&] { f_.TDist(-1.0, 10, 2); }, [&] { f_.TDist(1.0, 0, 2); }, [&] { f_.TDist(1.0, 5, 3); }});
}

}  // namespace
}  // namespace dez::embedded::test
