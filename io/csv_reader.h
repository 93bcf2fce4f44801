// Reads delimiter-separated text (CSV, TSV) into one sheet, streaming.
//
// Grammar (RFC 4180, with the relaxations real files need):
// - UTF-8, with or without a byte-order mark; records end with CRLF, LF or a lone CR.
// - A field that starts with a double quote is quoted: it runs to the next lone quote,
//   "" inside stands for one quote, and delimiters and line breaks inside are kept as
//   they are. After the closing quote only a delimiter, a line break or the end of the
//   file may follow; anything else is an error, and so is a quote left open at the end.
// - A quote inside an unquoted field is kept as an ordinary character.
// Values:
// - A field whose whole text reads as a number literal (ParseNumber: integer, decimal or
//   exponent form, optional sign, surrounding blanks allowed) is a Number, whether or not
//   it was quoted; with a decimal comma (CsvDialect), "1,5" is the Number 1.5 too (see
//   IsDecimalCommaNumber); an empty field, quoted or not, is Empty and is not delivered; any
//   other field is Text, kept byte for byte.
// Shape:
// - Ragged rows are allowed: a short row simply has no cells past its last field (they
//   read as Empty). A blank line is an empty row; a final line break ends the last row
//   and does not start another.
// Errors (FileError, source "ReadCsv"), each naming the file, row and column:
// - bytes that are not UTF-8, or a NUL byte (kEncoding); a malformed quoted field
//   (kMalformed); a row past 1,048,576, a field past column 16,384 or a field longer
//   than a cell can hold, 32,767 bytes (kLimit; found while the field grows).
// - a file with no bytes besides a byte-order mark (kEmpty).
// Memory: the reader holds one field at a time, of at most 32,767 bytes, so an endless
// input ends with an error in bounded memory.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "io/cell_sink.h"
#include "io/csv_dialect.h"
#include "io/file_error.h"

namespace dez::io {

class CsvReader {
 public:
  /// Reads `text` as a file named `fileName` (used in error messages only) into the
  /// current sheet of `sink`; BeginSheet/EndSheet are the caller's.
  CsvReader(std::string fileName, char delimiter, CellSink& sink);
  /// The same with a decimal comma: a field such as "1,5" is the Number 1.5.
  CsvReader(std::string fileName, CsvDialect dialect, CellSink& sink);

  /// Consumes the next piece of the input; pieces may split anywhere, even inside a
  /// UTF-8 sequence or a CRLF.
  void Feed(std::string_view chunk);
  /// Ends the input: delivers the last field and checks that no quote is left open.
  void Finish();

  /// True once any byte other than a leading byte-order mark has been fed.
  bool SawData() const { return sawData_; }

  /// The delimiter a file's extension implies: ',' for .csv, TAB for .tsv (letter case
  /// ignored); 0 for any other extension.
  static char DelimiterFor(const std::filesystem::path& path);

  /// Reads the file `path` into a sheet named `sheetName`: BeginSheet, the cells,
  /// EndSheet. The delimiter comes from the extension. Errors as above, and kOpen when
  /// the file cannot be read.
  static void ReadFile(const std::filesystem::path& path, const std::string& sheetName, CellSink& sink);
  /// The same in the given dialect.
  static void ReadFile(const std::filesystem::path& path, const std::string& sheetName, CellSink& sink,
                       CsvDialect dialect);

  /// The first `size` bytes of the file (fewer when it is shorter; none when it cannot be
  /// read), for dialect detection.
  static std::string FileStart(const std::filesystem::path& path, std::size_t size);

 private:
  enum class State : std::uint8_t { kFieldStart, kUnquoted, kQuoted, kQuoteInQuoted, kAfterCr };

  void Consume(std::string_view bytes);
  void AppendToField(std::string_view piece);
  void EndField();
  void EndRecord();
  [[noreturn]] void Fail(FileErrorKind kind, std::int64_t row, std::int64_t column, const std::string& what) const;

  std::string fileName_;
  char delimiter_;
  bool decimalComma_ = false;
  CellSink& sink_;

  State state_ = State::kFieldStart;
  std::string field_;
  std::int64_t row_ = 1;
  std::int64_t column_ = 1;
  std::int64_t quoteRow_ = 0;  // where the open quoted field began
  std::int64_t quoteColumn_ = 0;
  std::string head_;  // the first bytes, until a byte-order mark is ruled in or out
  bool headDone_ = false;
  bool sawData_ = false;
};

}  // namespace dez::io
