// Separator and decimal-comma detection, and reading with a decimal comma.
#include <gtest/gtest.h>

#include "io/csv_dialect.h"
#include "io/csv_reader.h"
#include "collecting_sink.h"

namespace dez::io {
namespace {

struct DialectCase {
  const char* what;
  const char* sample;
  char byExtension;
  CsvDialect expected;
};

TEST(CsvDialect, DetectsTheSeparatorAndTheDecimalComma) {
  const DialectCase cases[] = {
      {"comma", "a,b,c\n1,2,3\n4,5,6\n", ',', {',', false}},
      {"semicolon with decimal commas", "a;b\n\"35,48\";2\n1,5;3\n", ',', {';', true}},
      {"semicolon with decimal points", "a;b\n1.5;2\n2,5;3\n", ',', {';', false}},
      {"semicolon, whole numbers", "a;b\n1;2\n3;4\n", ',', {';', false}},
      {"tab in a .csv", "a\tb\n1,5\t2\n", ',', {'\t', true}},
      {"pipe", "a|b|c\n1|2|3\n", ',', {'|', false}},
      {"CRLF and a quoted separator", "\"x;y\",b\r\n1,2\r\n", ',', {',', false}},
      {"one column keeps the extension's", "a\n1\n2\n", '\t', {'\t', false}},
      {"a tie goes to the extension", "a,b;c\n1,2;3\n", ';', {';', true}},
      {"a line cut off by the sample's end is left out", "a;b\n1;2\n3;4\n5,5", ',', {';', false}},
  };
  for (const DialectCase& c : cases) {
    EXPECT_EQ(DetectCsvDialect(c.sample, c.byExtension), c.expected) << c.what;
  }
}

TEST(CsvDialect, DecimalCommaFieldsAreNumbersOnlyWhenAsked) {
  for (const bool decimalComma : {false, true}) {
    testing::CollectingSink sink;
    sink.BeginSheet("s");
    CsvReader reader("f.csv", CsvDialect{';', decimalComma}, sink);
    reader.Feed("1,5;-0,25;1.5;1,2,3;12%;3,0e2\n");
    reader.Finish();
    const auto& sheet = sink.sheets.front();
    EXPECT_EQ(sheet.At(1, 1).IsNumber(), decimalComma);
    if (decimalComma) {
      EXPECT_EQ(sheet.At(1, 1).number(), 1.5);
      EXPECT_EQ(sheet.At(1, 2).number(), -0.25);
      EXPECT_EQ(sheet.At(1, 6).number(), 300.0);
    }
    EXPECT_EQ(sheet.At(1, 3).number(), 1.5);
    EXPECT_TRUE(sheet.At(1, 4).IsText());
    EXPECT_TRUE(sheet.At(1, 5).IsText());
  }
}

}  // namespace
}  // namespace dez::io
