// The error trap: statement numbers, labelling and chaining of sources.
#include <gtest/gtest.h>

#include "runtime/checked_float.h"
#include "runtime/error_trap.h"
#include "tests/support/error_of.h"

namespace dez {
namespace {

using test::ErrorOf;

// Procedures written as the component writes them; their lines matter to the tests.
void Inner() {
  ErrorTrap trap{"clsHClusterBO", "ReduceMatrix"};
  trap.Run([&] {
    double x = 1.0;
    x = Div(x, 0.0);  // statement 3
    (void)x;
  });
}

void Outer() {
  ErrorTrap trap{"clsHClusterBO", "Analyse"};
  trap.Run([&] { Inner(); });
}

void Property() {
  ErrorTrap trap{"clsHClusterBO", "LetData", ErrorTrap::Form::kLabel};
  trap.Run([&] {
    Raise(fault::kTypeMismatch, "Line 9 in somewhere");  // statement 2
  });
}

// A caller's trap appends its name; the label form labels anew whatever the source.
TEST(ErrorTrap, LabelsWithStatementNumberAndChainsCallers) {
  const Error e = ErrorOf(Outer);
  EXPECT_EQ(e.number, fault::kDivisionByZero);
  EXPECT_EQ(e.description, "Division by zero");
  EXPECT_EQ(e.source, "Line 3 in DEZEZuvazoz.clsHClusterBO.ReduceMatrix.Analyse");
  const Error label = ErrorOf(Property);
  EXPECT_EQ(label.source, "Line 2 in DEZEZuvazoz.clsHClusterBO.LetData");
  EXPECT_EQ(label.description, "Type mismatch");
}

TEST(ErrorTrap, AppendNameAndSeparatorAreConfigurable) {
  const Error chained = ErrorOf([] {
    ErrorTrap trap{"clsHClusterOutput", "OutputSchedule"};
    trap.AppendAs("OutputMatrix");
    trap.Run([] { Raise(fault::kSubscriptOutOfRange, "Line 4 in DEZEZuvazoz.X.Y"); });
  });
  EXPECT_EQ(chained.source, "Line 4 in DEZEZuvazoz.X.Y.OutputMatrix");
  const Error init = ErrorOf([] {
    ErrorTrap trap{"clsHClusterBO", "class_Initialize"};
    trap.AppendSeparator(":");
    trap.Run([] { Raise(fault::kObjectNotSet, "Line 1 in DEZEZuvazoz.Lib.New"); });
  });
  EXPECT_EQ(init.source, "Line 1 in DEZEZuvazoz.Lib.New:class_Initialize");
}

TEST(ErrorTrap, ForeignErrorsAreNumberedZeroAndStandardExceptionsMapped) {
  Error foreign(fault::kOverflow, "", "", std::source_location::current());
  foreign.file = "elsewhere.cpp";
  const ErrorTrap trap{"clsHCluster", "Results"};
  EXPECT_EQ(trap.SourceFor(foreign), "Line 0 in DEZEZuvazoz.clsHCluster.Results");
  const Error mapped = ErrorOf([] {
    ErrorTrap t{"clsHCluster", "Results"};
    t.Run([] { throw std::out_of_range("x"); });
  });
  EXPECT_EQ(mapped.number, fault::kSubscriptOutOfRange);
}

}  // namespace
}  // namespace dez
