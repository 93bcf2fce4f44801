#include "io/cell_reference.h"

#include <gtest/gtest.h>

#include "io/utf8.h"
#include "io/xlsx_text.h"

namespace dez::io {
namespace {

// References within the limits parse and format back; the rest are refused.
TEST(CellReference, ParsesAndFormatsWithinTheLimitsAndRefusesTheRest) {
  const std::vector<std::tuple<const char*, ReferenceProblem, CellPosition>> cases = {
      {"b7", ReferenceProblem::kNone, {7, 2}},          {"AZ2", ReferenceProblem::kNone, {2, 52}},
      {"Z3", ReferenceProblem::kNone, {3, 26}},         {"ZZ1", ReferenceProblem::kNone, {1, 702}},
      {"AAA9", ReferenceProblem::kNone, {9, 703}},      {"XFD1048576", ReferenceProblem::kNone, {1'048'576, 16'384}},
      {"", ReferenceProblem::kSyntax, {}},              {"1A", ReferenceProblem::kSyntax, {}},
      {"A1B", ReferenceProblem::kSyntax, {}},           {"$A$1", ReferenceProblem::kSyntax, {}},
      {"XFE1", ReferenceProblem::kBeyondLimit, {}},     {"A0", ReferenceProblem::kBeyondLimit, {}},
      {"A1048577", ReferenceProblem::kBeyondLimit, {}}, {"ZZZZZZZZZZZZ1", ReferenceProblem::kBeyondLimit, {}},
      {"A99999999999999999999999", ReferenceProblem::kBeyondLimit, {}},
  };
  for (const auto& [text, problem, position] : cases) {
    CellPosition pos;
    EXPECT_EQ(ParseCellReference(text, pos), problem) << text;
    if (problem == ReferenceProblem::kNone) {
      EXPECT_EQ(pos, position) << text;
      EXPECT_STRCASEEQ(FormatCellReference(position.row, position.column).c_str(), text);
    }
  }
}

TEST(Utf8, ValidationDecodingAndWidth) {
  EXPECT_EQ(FindInvalidUtf8("\xE2\x94\x80\xF0\x9F\x98\x80"), std::string_view::npos);
  EXPECT_EQ(FindInvalidUtf8("ab\x80"), 2u);
  EXPECT_EQ(FindInvalidUtf8("\xF4\x90\x80\x80"), 0u);  // past U+10FFFF
  EXPECT_EQ(FindInvalidUtf8("\xE0\x80\xAF"), 0u);      // overlong
  std::string out;
  AppendUtf8(out, 0x2502);
  AppendUtf8(out, 0x1F600);
  AppendUtf8(out, 0xD800);  // not a scalar value
  EXPECT_EQ(out, "\xE2\x94\x82\xF0\x9F\x98\x80\xEF\xBF\xBD");
  std::size_t pos = 0;
  EXPECT_EQ(DecodeUtf8(out, pos), U'\x2502');
  EXPECT_EQ(pos, 3u);
  EXPECT_EQ(CountCodePoints(out), 3u);
  EXPECT_EQ(DisplayWidth("ab\xE2\x94\x80"), 3u);
  EXPECT_EQ(DisplayWidth("\xE4\xB8\xAD"), 2u);  // a wide ideograph
  EXPECT_EQ(PrefixByWidth("ab\xE4\xB8\xAD" "c", 3), "ab");  // the wide one does not fit
  EXPECT_EQ(PrefixByWidth("ab\xE4\xB8\xAD" "c", 4), "ab\xE4\xB8\xAD");
}

TEST(XlsxText, EscapesAndNumbers) {
  std::string s = "a_x000D__x000A_b_x005F_x0041_ _xD83D__xDE00_ _xD800_ _x12_";
  DecodeXlsxEscapes(s);
  EXPECT_EQ(s, "a\r\nb_x0041_ \xF0\x9F\x98\x80 \xEF\xBF\xBD _x12_");
  double v = 0;
  EXPECT_TRUE(ParseXlsxNumber("+4", v));
  EXPECT_EQ(v, 4.0);
  for (const char* bad : {"nan", "inf", "1e999", "1,5", ""}) EXPECT_FALSE(ParseXlsxNumber(bad, v)) << bad;
}

}  // namespace
}  // namespace dez::io
