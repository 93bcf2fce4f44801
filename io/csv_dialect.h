// How a delimiter-separated text file is written: its field separator and whether its
// numbers use a decimal comma ("35,48" for 35.48), as exported by spreadsheet programs set
// to many European locales.
//
//   CsvDialect dialect = DetectCsvDialect(firstBytes, ',');
//   CsvReader::ReadFile(path, sheetName, sink, dialect);
//
// Detection looks at the first lines only (quoted fields skipped as the reader skips
// them): the separator among , ; TAB | that splits those lines into the same number of
// fields, more than one, wins; ties go to the extension's separator, then to the order
// above. A decimal comma is detected only with a separator other than ',' when some field
// reads as a number with a decimal comma and none with a decimal point.
#pragma once

#include <string>
#include <string_view>

namespace dez::io {

struct CsvDialect {
  char delimiter = ',';
  bool decimalComma = false;
  friend bool operator==(const CsvDialect&, const CsvDialect&) = default;
};

/// The separators detection chooses from, in order of preference.
inline constexpr std::string_view kCsvDelimiters = ",;\t|";

/// The dialect of a file whose first bytes are `sample`; `extensionDelimiter` is the
/// separator the file's extension implies and wins when the sample does not decide.
CsvDialect DetectCsvDialect(std::string_view sample, char extensionDelimiter);

/// Whether `field` reads as a number once a decimal comma stands for the point: "1,5",
/// "-0,25", "3,0e2" (at most one comma and no point).
bool IsDecimalCommaNumber(std::string_view field);

/// `field` with its one decimal comma made a point, for a field IsDecimalCommaNumber accepts.
std::string_view DecimalCommaAsPoint(std::string_view field, std::string& buffer);

/// How a separator is named in messages: "','", "';'", "TAB", "'|'".
std::string_view DelimiterName(char delimiter);

}  // namespace dez::io
