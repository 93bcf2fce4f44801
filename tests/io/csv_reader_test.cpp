// The CSV reader: fields, quotes, line ends, numbers (with a decimal comma when asked),
// failures with their row and column, and the detection of the separator.
#include "io/csv_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "collecting_sink.h"
#include "io/csv_dialect.h"
#include "temp_dir.h"
#include "tests/support/error_of.h"

namespace dez::io {
namespace {

using namespace std::string_literals;

using test::ErrorOf;
using testing::Cells;
using testing::CollectingSink;
using testing::TempDir;

/// Reads `text` fed in pieces of `piece` bytes (0: all at once).
CollectingSink ReadText(const std::string& text, CsvDialect dialect, std::size_t piece = 0) {
  CollectingSink sink;
  sink.BeginSheet("t");
  CsvReader reader("t.csv", dialect, sink);
  for (std::size_t i = 0; i < text.size(); i += piece == 0 ? text.size() : piece) {
    reader.Feed(std::string_view(text).substr(i, piece == 0 ? text.size() : piece));
  }
  reader.Finish();
  sink.EndSheet();
  return sink;
}

struct CsvCase {
  const char* name;
  std::string input;
  CsvDialect dialect;
  Cells cells;  // every non-empty cell
};

TEST(CsvReader, TableOfCases) {
  const CsvCase cases[] = {
      {"plain, no final line break", "a,b\nc,d", {}, {{{1, 1}, "a"}, {{1, 2}, "b"}, {{2, 1}, "c"}, {{2, 2}, "d"}}},
      {"crlf", "a,b\r\nc,d\r\n", {}, {{{1, 1}, "a"}, {{1, 2}, "b"}, {{2, 1}, "c"}, {{2, 2}, "d"}}},
      {"lone cr", "a\rb\r", {}, {{{1, 1}, "a"}, {{2, 1}, "b"}}},
      {"bom only once", "\xEF\xBB\xBF\xEF\xBB\xBFx,1\n", {}, {{{1, 1}, "\xEF\xBB\xBFx"}, {{1, 2}, 1.0}}},
      {"quoted delimiter", "\"a,b\",c", {}, {{{1, 1}, "a,b"}, {{1, 2}, "c"}}},
      {"escaped quote", "\"say \"\"hi\"\"\"", {}, {{{1, 1}, "say \"hi\""}}},
      {"quoted line breaks", "\"one\r\ntwo\nthree\",x\n", {}, {{{1, 1}, "one\r\ntwo\nthree"}, {{1, 2}, "x"}}},
      {"quote inside unquoted", "ab\"c,d", {}, {{{1, 1}, "ab\"c"}, {{1, 2}, "d"}}},
      {"empty fields and rows", ",a,,b,\n\n\"\",x", {}, {{{1, 2}, "a"}, {{1, 4}, "b"}, {{3, 2}, "x"}}},
      {"numbers", "-7,+2,.25,2.5E+2,7.,\"42\", 5 ", {},
       {{{1, 1}, -7.0}, {{1, 2}, 2.0}, {{1, 3}, 0.25}, {{1, 4}, 250.0}, {{1, 5}, 7.0}, {{1, 6}, 42.0}, {{1, 7}, 5.0}}},
      {"not numbers", "1,5;1e;0x10;1 2;nan;inf;1e999;a ;12%", {';', false},
       {{{1, 1}, "1,5"}, {{1, 2}, "1e"}, {{1, 3}, "0x10"}, {{1, 4}, "1 2"}, {{1, 5}, "nan"}, {{1, 6}, "inf"},
        {{1, 7}, "1e999"}, {{1, 8}, "a "}, {{1, 9}, "12%"}}},
      {"decimal commas", "1,5;-0,25;1.5;1,2,3;3,0e2", {';', true},
       {{{1, 1}, 1.5}, {{1, 2}, -0.25}, {{1, 3}, 1.5}, {{1, 4}, "1,2,3"}, {{1, 5}, 300.0}}},
      {"tsv", "a\tb,c\t1\n", {'\t', false}, {{{1, 1}, "a"}, {{1, 2}, "b,c"}, {{1, 3}, 1.0}}},
      {"utf-8 text", "\xC3\xA9t\xC3\xA9,\xF0\x9F\x98\x80", {}, {{{1, 1}, "\xC3\xA9t\xC3\xA9"}, {{1, 2}, "\xF0\x9F\x98\x80"}}},
      {"16,384 fields", std::string(16'383, ',') + "z", {}, {{{1, 16'384}, "z"}}},
      {"a field of 32,767 characters", std::string(32'767, 'f'), {}, {{{1, 1}, std::string(32'767, 'f')}}},
  };
  for (const CsvCase& c : cases) {
    for (const std::size_t piece : {std::size_t{0}, std::size_t{1}, std::size_t{2}, std::size_t{5}}) {
      SCOPED_TRACE(std::string(c.name) + ", pieces of " + std::to_string(piece));
      EXPECT_EQ(ReadText(c.input, c.dialect, piece).sheets.at(0).cells, c.cells);
    }
  }
}

TEST(CsvReader, TableOfFailures) {
  const struct {
    const char* name;
    std::string input;
    FileErrorKind kind;
    std::int64_t row;
    std::int64_t column;
    const char* fragment;  // part of the description
  } failures[] = {
      {"invalid byte", "ok\nx,\xFFy\n", FileErrorKind::kEncoding, 2, 2, "invalid UTF-8 (byte 0xFF"},
      {"truncated sequence", "a,b\nc\xE2\x94", FileErrorKind::kEncoding, 2, 1, "invalid UTF-8"},
      {"partial bom", "\xEF\xBB", FileErrorKind::kEncoding, 1, 1, "invalid UTF-8"},
      {"nul byte", "a,b\0c"s, FileErrorKind::kEncoding, 1, 2, "NUL byte"},
      {"open quote", "a\n\"never closed,\nb", FileErrorKind::kMalformed, 2, 1, "not closed"},
      {"text after closing quote", "\"a\"b,c", FileErrorKind::kMalformed, 1, 1, "after the closing quote"},
      {"16,385 fields", std::string(16'384, ','), FileErrorKind::kLimit, 1, 16'385, "more than 16,384"},
      {"a field of 32,768 characters", "\"" + std::string(32'768, 'f'), FileErrorKind::kLimit, 1, 1,
       "longer than 32,767"},
  };
  for (const auto& f : failures) {
    SCOPED_TRACE(f.name);
    const FileError e = ErrorOf<FileError>([&] { ReadText(f.input, {}); });
    EXPECT_EQ(e.kind, f.kind);
    EXPECT_EQ(e.at.row, f.row);
    EXPECT_EQ(e.at.column, f.column);
    EXPECT_EQ(e.number, kFileErrorNumber);
    EXPECT_NE(e.description.find(f.fragment), std::string::npos) << e.description;
    const std::string where = "t.csv: row " + std::to_string(f.row) + ", column " + std::to_string(f.column) + ": ";
    EXPECT_TRUE(e.description.starts_with(where)) << e.description;
  }
}

TEST(CsvReader, FieldsSpanningReadChunks) {
  // A quoted field across the end of the reader's 1 MiB buffer, with a multi-byte
  // character straddling it: empty rows fill the buffer up to the field.
  TempDir dir;
  const std::string blankRows((std::size_t{1} << 20) - 8, '\n');
  const std::string field = "xxxxxx\xE2\x94\x80tail";  // E2 is the buffer's last byte
  const auto file = dir.Write("big.csv", blankRows + "\"" + field + "\",2\n");
  CollectingSink sink;
  CsvReader::ReadFile(file, "big", sink);
  const auto row = static_cast<std::int32_t>(blankRows.size()) + 1;
  EXPECT_EQ(sink.sheets[0].cells, (Cells{{{row, 1}, field}, {{row, 2}, 2.0}}));
}

TEST(CsvDialect, DetectsTheSeparatorAndTheDecimalComma) {
  const struct {
    const char* what;
    const char* sample;
    char byExtension;
    CsvDialect expected;
  } cases[] = {
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
  for (const auto& c : cases) EXPECT_EQ(DetectCsvDialect(c.sample, c.byExtension), c.expected) << c.what;
}

}  // namespace
}  // namespace dez::io
