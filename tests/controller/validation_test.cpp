// Every check of Results, set up by a real workbook and range, raises its number from
// Results and leaves the workbook as it was.
#include <gtest/gtest.h>

#include "controller_fixture.h"
#include "dezezuvazoz/enums.h"
#include "dezezuvazoz/errors.h"

namespace dez::testing {
namespace {

struct ValidationCase {
  const char* name;
  std::int32_t clusterType;
  std::int32_t method;
  bool headers;
  std::vector<Row> cells;  // written at A1 of the data sheet
  const char* range;
  std::int32_t expected;   // 0: accepted
  std::int32_t statement = 0;  // the statement of Results that raises it
};

const Variant E;  // an empty cell

const ValidationCase kCases[] = {
    {"two areas", dezEZuvazozMetric, 3, false, {{1, 2}, {3, 4}, {5, 6}}, "Data!A1:A3,Data!B1:B3",
     AddinErrorNumber(addin_error::kMultipleAreas), 3},
    {"one case", dezEZuvazozMetric, 3, false, {{1, 2, 3}}, "Data!A1:C1", AddinErrorNumber(addin_error::kTooFewCases), 7},
    {"mixed type row and one case", dezEZuvazozMixed, 3, false, {{"QUANT", "QUANT"}, {1, 2}}, "Data!A1:B2",
     AddinErrorNumber(addin_error::kTooFewCases), 7},
    {"mixed two cases", dezEZuvazozMixed, 3, false, {{"QUANT", "QUAL"}, {1, "a"}, {2, "b"}}, "Data!A1:B3", 0},
    {"one variable", dezEZuvazozMetric, 3, false, {{1}, {2}, {4}}, "Data!A1:A3",
     AddinErrorNumber(addin_error::kTooFewVariables), 10},
    {"one variable with Ward's", dezEZuvazozMetric, 5, false, {{1}, {2}, {4}}, "Data!A1:A3", 0},
    {"labels leave one variable", dezEZuvazozMetric, 3, true, {{"a", 1}, {"b", 2}, {"c", 4}}, "Data!A1:B3",
     AddinErrorNumber(addin_error::kTooFewVariables), 10},
    {"binomial 2", dezEZuvazozBinomial, 3, false, {{1, 0}, {2, 1}, {0, 1}}, "Data!A1:B3", dezEZuvazozInvalidBinData, 50},
    {"binomial empty", dezEZuvazozBinomial, 3, false, {{1, 0}, {E, 1}, {0, 1}}, "Data!A1:B3",
     dezEZuvazozInvalidBinData, 50},
    {"binomial text", dezEZuvazozBinomial, 3, false, {{1, 0}, {"yes", 1}, {0, 1}}, "Data!A1:B3",
     dezEZuvazozInvalidBinData, 50},
    {"metric text", dezEZuvazozMetric, 3, false, {{1, 0}, {"x", 1}, {0, 1}}, "Data!A1:B3",
     dezEZuvazozInvalidMixedQuantData, 55},
    {"metric empty", dezEZuvazozMetric, 3, false, {{1, 0}, {E, 1}, {0, 1}}, "Data!A1:B3",
     dezEZuvazozInvalidMixedQuantData, 55},
    {"mixed unknown type", dezEZuvazozMixed, 3, false, {{"NUM", "QUAL"}, {1, "a"}, {2, "b"}}, "Data!A1:B3",
     dezEZuvazozInvalidMixedHeader, 93},
    {"mixed type codes in any case", dezEZuvazozMixed, 3, false, {{"bin", "Quant"}, {1, 1.5}, {0, 2}}, "Data!A1:B3",
     0},
    {"mixed BIN 2", dezEZuvazozMixed, 3, false, {{"BIN", "QUAL"}, {1, "a"}, {2, "b"}}, "Data!A1:B3",
     dezEZuvazozInvalidMixedBinData, 80},
    {"mixed BIN text", dezEZuvazozMixed, 3, false, {{"BIN", "QUAL"}, {"1", "a"}, {0, "b"}}, "Data!A1:B3",
     dezEZuvazozInvalidMixedBinData, 80},
    {"mixed QUANT text", dezEZuvazozMixed, 3, false, {{"QUANT", "QUAL"}, {"x", "a"}, {2, "b"}}, "Data!A1:B3",
     dezEZuvazozInvalidMixedQuantData, 84},
    {"mixed QUAL empty", dezEZuvazozMixed, 3, false, {{"QUANT", "QUAL"}, {1, "a"}, {2, E}}, "Data!A1:B3",
     dezEZuvazozInvalidMixedQualData, 87},
    {"mixed BIN constant", dezEZuvazozMixed, 3, false, {{"BIN", "QUAL"}, {1, "a"}, {1, "b"}}, "Data!A1:B3",
     AddinErrorNumber(addin_error::kNoVariation), 82},
    {"mixed QUANT constant", dezEZuvazozMixed, 3, false, {{"QUANT", "QUAL"}, {3, "a"}, {3, "b"}}, "Data!A1:B3",
     AddinErrorNumber(addin_error::kNoVariation), 85},
    {"mixed QUAL constant", dezEZuvazozMixed, 3, false, {{"QUANT", "QUAL"}, {1, "a"}, {2, "a"}}, "Data!A1:B3",
     AddinErrorNumber(addin_error::kNoVariation), 91},
    {"distance matrix not square", dezEZuvazozDifference, 3, false, {{0, 1, 2, 3}, {1, 0, 4, 5}, {2, 4, 0, 6}},
     "Data!A1:D3", dezEZuvazozInvalidDiffData, 64},
    {"distance matrix with text", dezEZuvazozDifference, 3, false, {{0, 1, 2}, {1, 0, "x"}, {2, 4, 0}}, "Data!A1:C3",
     dezEZuvazozInvalidDiffData, 63},
    {"asymmetric distance matrix", dezEZuvazozDifference, 3, false, {{0, 1, 2}, {5, 0, 4}, {2, 4, 0}}, "Data!A1:C3",
     0},
};

using ValidationTest = ControllerFixture;

TEST_F(ValidationTest, EachCheckRaisesItsNumberFromResultsAndWritesNothing) {
  for (const ValidationCase& c : kCases) {
    SCOPED_TRACE(c.name);
    data->Cells()->Clear();
    Put(1, 1, c.cells);
    clsHCluster hc(context);
    Options(hc, c.clusterType, c.method, c.range, c.clusterType == dezEZuvazozBinomial ? 3 : 4, c.headers);
    const std::size_t sheetsBefore = book->Sheets().size();
    if (c.expected == 0) {
      EXPECT_NO_THROW(hc.Results());
      EXPECT_EQ(book->Sheets().size(), sheetsBefore + 1);
      continue;
    }
    const Error e = ErrorOf([&] { hc.Results(); });
    EXPECT_EQ(e.number, c.expected);
    // The full source: each check is its own statement of Results.
    EXPECT_EQ(e.source, "Line " + std::to_string(c.statement) + " in DEZEZuvazoz.clsHCluster.Results");
    EXPECT_EQ(e.description, "Application-defined or object-defined error");
    EXPECT_EQ(book->Sheets().size(), sheetsBefore) << "no output sheet after a failed check";
  }
}

using AddressSetterTest = ControllerFixture;

TEST_F(AddressSetterTest, MissingOrEmptyVariablesRangeKeepsTheEarlierOne) {
  Put(1, 1, {{1, 2}, {3, 5}, {6, 1}});
  clsHCluster hc(context);
  const Error none = ErrorOf([&] { hc.Results(); });
  EXPECT_EQ(none.number, -2147216493);
  EXPECT_TRUE(none.source.ends_with("in DEZEZuvazoz.clsHCluster.Results"));
  Options(hc, dezEZuvazozMetric, 3, "Data!A1:B3", 4);
  const Error e = ErrorOf([&] { hc.VarRange(""); });
  EXPECT_EQ(e.number, -2147216493);
  EXPECT_EQ(e.source, "clsHCluster");
  EXPECT_EQ(e.description, "No variables range specified");
  EXPECT_NO_THROW(hc.Results()) << "the earlier range is still in place";
}

TEST_F(AddressSetterTest, UnresolvableAddressesMapToTheirNumbersKeepingTheHostText) {
  clsHCluster hc(context);
  const Error var = ErrorOf([&] { hc.VarRange("Nowhere!A1:B3"); });
  EXPECT_EQ(var.number, -2147216495);
  EXPECT_FALSE(var.description.empty());
  EXPECT_FALSE(var.source.starts_with("Line 0 in DEZEZuvazoz.clsHCluster")) << "the host's own source is kept";
  const Error out = ErrorOf([&] { hc.OutputRange("A1:!!"); });
  EXPECT_EQ(out.number, -2147216503);
}

}  // namespace
}  // namespace dez::testing
