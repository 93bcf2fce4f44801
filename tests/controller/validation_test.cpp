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
  std::vector<Row> cells;      // written at A1 of the data sheet
  std::int32_t expected;       // 0: accepted
  std::int32_t statement = 0;  // the statement of Results that raises it
  const char* range = "Data!A1:B3";
  std::int32_t method = dezEZuvazozMethGroupAvg;
  bool headers = false;
};

const Variant E;  // an empty cell
constexpr std::int32_t kBin = dezEZuvazozBinomial, kMet = dezEZuvazozMetric, kMix = dezEZuvazozMixed,
                       kDiff = dezEZuvazozDifference;
const std::int32_t kFewCases = AddinErrorNumber(addin_error::kTooFewCases),
                   kFewVars = AddinErrorNumber(addin_error::kTooFewVariables),
                   kNoVariation = AddinErrorNumber(addin_error::kNoVariation);

const ValidationCase kCases[] = {
    {"two areas", kMet, {{1, 2}, {3, 4}, {5, 6}}, AddinErrorNumber(addin_error::kMultipleAreas), 3,
     "Data!A1:A3,Data!B1:B3"},
    {"one case", kMet, {{1, 2, 3}}, kFewCases, 7, "Data!A1:C1"},
    {"mixed type row and one case", kMix, {{"QUANT", "QUANT"}, {1, 2}}, kFewCases, 7, "Data!A1:B2"},
    {"mixed two cases", kMix, {{"QUANT", "QUAL"}, {1, "a"}, {2, "b"}}, 0},
    {"one variable", kMet, {{1}, {2}, {4}}, kFewVars, 10, "Data!A1:A3"},
    {"one variable with Ward's", kMet, {{1}, {2}, {4}}, 0, 0, "Data!A1:A3", dezEZuvazozMethWards},
    {"labels leave one variable", kMet, {{"a", 1}, {"b", 2}, {"c", 4}}, kFewVars, 10, "Data!A1:B3", 3, true},
    {"binomial 2", kBin, {{1, 0}, {2, 1}, {0, 1}}, dezEZuvazozInvalidBinData, 50},
    {"binomial empty", kBin, {{1, 0}, {E, 1}, {0, 1}}, dezEZuvazozInvalidBinData, 50},
    {"binomial text", kBin, {{1, 0}, {"yes", 1}, {0, 1}}, dezEZuvazozInvalidBinData, 50},
    {"metric text", kMet, {{1, 0}, {"x", 1}, {0, 1}}, dezEZuvazozInvalidMixedQuantData, 55},
    {"metric empty", kMet, {{1, 0}, {E, 1}, {0, 1}}, dezEZuvazozInvalidMixedQuantData, 55},
    {"mixed unknown type", kMix, {{"NUM", "QUAL"}, {1, "a"}, {2, "b"}}, dezEZuvazozInvalidMixedHeader, 93},
    {"mixed type codes in any case", kMix, {{"bin", "Quant"}, {1, 1.5}, {0, 2}}, 0},
    {"mixed BIN 2", kMix, {{"BIN", "QUAL"}, {1, "a"}, {2, "b"}}, dezEZuvazozInvalidMixedBinData, 80},
    {"mixed BIN text", kMix, {{"BIN", "QUAL"}, {"1", "a"}, {0, "b"}}, dezEZuvazozInvalidMixedBinData, 80},
    {"mixed QUANT text", kMix, {{"QUANT", "QUAL"}, {"x", "a"}, {2, "b"}}, dezEZuvazozInvalidMixedQuantData, 84},
    {"mixed QUAL empty", kMix, {{"QUANT", "QUAL"}, {1, "a"}, {2, E}}, dezEZuvazozInvalidMixedQualData, 87},
    {"mixed BIN constant", kMix, {{"BIN", "QUAL"}, {1, "a"}, {1, "b"}}, kNoVariation, 82},
    {"mixed QUANT constant", kMix, {{"QUANT", "QUAL"}, {3, "a"}, {3, "b"}}, kNoVariation, 85},
    {"mixed QUAL constant", kMix, {{"QUANT", "QUAL"}, {1, "a"}, {2, "a"}}, kNoVariation, 91},
    {"distance matrix not square", kDiff, {{0, 1, 2, 3}, {1, 0, 4, 5}, {2, 4, 0, 6}}, dezEZuvazozInvalidDiffData,
     64, "Data!A1:D3"},
    {"distance matrix with text", kDiff, {{0, 1, 2}, {1, 0, "x"}, {2, 4, 0}}, dezEZuvazozInvalidDiffData, 63,
     "Data!A1:C3"},
    {"asymmetric distance matrix", kDiff, {{0, 1, 2}, {5, 0, 4}, {2, 4, 0}}, 0, 0, "Data!A1:C3"},
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
