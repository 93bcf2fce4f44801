// A1 addresses: every accepted form and the refusals, including hostile texts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/embedded/address_parser.h"

namespace dez::embedded {
namespace {

/// Texts that all parse to the same areas.
struct Accepted {
  std::vector<std::string> texts;
  std::vector<AddressArea> areas;
};

constexpr std::int32_t R = kMaxRows;
constexpr std::int32_t C = kMaxColumns;

TEST(AddressParser, AcceptedForms) {
  const std::vector<Accepted> cases = {
      {{"B5", "$B$5", "B$5", "$B5", "b5"}, {{"", "", {5, 2, 5, 2}}}},
      {{"A1:F21", "F21:A1"}, {{"", "", {1, 1, 21, 6}}}},
      {{"B1:A2"}, {{"", "", {1, 1, 2, 2}}}},
      {{"A1:B2:C3"}, {{"", "", {1, 1, 3, 3}}}},
      {{"A:C", "$C:$A"}, {{"", "", {1, 1, R, 3}}}},
      {{"3:5", "$5:$3"}, {{"", "", {3, 1, 5, C}}}},
      {{"XFD1048576"}, {{"", "", {R, C, R, C}}}},
      {{"A01"}, {{"", "", {1, 1, 1, 1}}}},
      {{"Data!A1:F21"}, {{"", "Data", {1, 1, 21, 6}}}},
      {{"Data_2.x!B2"}, {{"", "Data_2.x", {2, 2, 2, 2}}}},
      {{"\xC3\x9C" "bersicht!A1"}, {{"", "\xC3\x9C" "bersicht", {1, 1, 1, 1}}}},
      {{"'My Sheet'!$A$1:$F$21"}, {{"", "My Sheet", {1, 1, 21, 6}}}},
      {{"'It''s'!A1"}, {{"", "It's", {1, 1, 1, 1}}}},
      {{"'A1'!B2"}, {{"", "A1", {2, 2, 2, 2}}}},
      {{"[Book.xlsx]Data!A1"}, {{"Book.xlsx", "Data", {1, 1, 1, 1}}}},
      {{"'[My Book.xlsx]My Sheet'!A1:B2"}, {{"My Book.xlsx", "My Sheet", {1, 1, 2, 2}}}},
      {{"A1:B2,D4"}, {{"", "", {1, 1, 2, 2}}, {"", "", {4, 4, 4, 4}}}},
      {{"A1,Data!B2,3:3,C:C"},
       {{"", "", {1, 1, 1, 1}}, {"", "Data", {2, 2, 2, 2}}, {"", "", {3, 1, 3, C}}, {"", "", {1, 3, R, 3}}}},
  };
  for (const Accepted& c : cases) {
    for (const std::string& text : c.texts) {
      const ParsedAddress parsed = ParseAddress(text);
      EXPECT_TRUE(parsed.ok()) << text << ": " << parsed.error;
      EXPECT_EQ(parsed.areas, c.areas) << text;
    }
  }
}

TEST(AddressParser, RefusedTexts) {
  const std::vector<std::string> refused = {
      "", "A", "3", "A0",                     // nothing, a column or a row alone, row 0
      "A1048577", "XFE1", "ABCD1",            // past the last row or column, four letters
      "A1:", ":A1", "A1:C", "A:3",            // a missing end or start, cell with column, column with row
      "A1,", ",A1", "A1,,B2",                 // empty areas
      " A1", "A1 ", "A1 B2",                  // blanks are no part of an address
      "$", "A$", "$$A1", "1A", "R1C1x",       // stray dollars, row before column, not A1 form
      "!A1", "Data!", "'Data!A1", "'Data'A1", "''!A1",  // sheet names: empty, unclosed, without '!'
      "[Book.xlsx]A1", "[Book.xlsx!A1", "[]Data!A1",   // workbook without a sheet, unclosed, empty
      "'[Book.xlsx'!A1", "'[Book.xlsx]'!A1",           // the same inside quotes
      "My Sheet!A1",                          // a name with a blank needs quotes
      "Data!A1:Data!B2",                      // qualifier in the middle of a block
      "Name", "A1-B2",                        // defined names are unknown
      "A99999999999999999999",                // a row number far beyond the limits
  };
  for (const std::string& text : refused) {
    const ParsedAddress parsed = ParseAddress(text);
    EXPECT_FALSE(parsed.ok()) << text;
    EXPECT_TRUE(parsed.areas.empty()) << text;
  }
}

TEST(AddressParser, ReasonNamesThePosition) {
  const ParsedAddress parsed = ParseAddress("A1:B2,C0");
  ASSERT_FALSE(parsed.ok());
  EXPECT_NE(parsed.error.find("row 0"), std::string::npos) << parsed.error;
  EXPECT_NE(parsed.error.find("position 9"), std::string::npos) << parsed.error;
}

TEST(AddressParser, HostileTextsAreRefusedCheaply) {
  EXPECT_FALSE(ParseAddress(std::string(kMaxAddressLength + 1, 'A')).ok());
  EXPECT_FALSE(ParseAddress(std::string("A1\0B2", 5)).ok());
  EXPECT_FALSE(ParseAddress(std::string(5000, '\'')).ok());
  EXPECT_FALSE(ParseAddress(std::string(5000, '[')).ok());
  std::string manyAreas;
  for (int i = 0; i < 1000; ++i) manyAreas += "A1,";
  manyAreas += "B2";
  const ParsedAddress parsed = ParseAddress(manyAreas);
  ASSERT_TRUE(parsed.ok());
  EXPECT_EQ(parsed.areas.size(), 1001U);
  // Every byte value after a valid start: no crash, a clear answer.
  for (int b = 0; b < 256; ++b) {
    const std::string text = std::string("A1") + static_cast<char>(b);
    (void)ParseAddress(text);
  }
}

}  // namespace
}  // namespace dez::embedded
