// Streams the cells of one worksheet part (<sheetData>) to a CellSink.
//
// Cell values by the cell's type attribute t:
//   absent or "n"  <v> as a number (an empty or missing <v> is an empty cell)
//   "s"            the shared string at index <v>
//   "inlineStr"    the text of <is> (its <t>, or its runs' <t> concatenated)
//   "b"            "1"/"true" True, "0"/"false" False
//   "e"            an error value by its text (#DIV/0! ...); an unknown error text is kept
//                  as Text
//   "str", "d"     the stored text (a formula's text result; a date kept as its ISO text)
// A cell whose formula is exactly an error constant ("#DIV/0!", "=#N/A") holds that error,
// whatever result is stored with it (this is how the writer stores error values).
// Positions: a cell's r attribute gives its row and column; without one, the cell follows
// the previous cell of its row (or starts at column 1), and a <row> without r follows the
// previous row. Strings have the format's _xHHHH_ escapes decoded.
// Errors (FileError, naming the file, the sheet and the cell or row): a reference or
// position beyond 1,048,576 rows x 16,384 columns (kLimit), a malformed reference, number,
// Boolean or shared-string index (kMalformed), a shared-string index past the table
// (kMalformed), more cells than the reader's bound (kLimit).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "io/cell_reference.h"
#include "io/cell_sink.h"
#include "io/file_error.h"
#include "io/xml_handler.h"

namespace dez::io {

class XlsxSheetHandler : public XmlHandler {
 public:
  /// `cellsLeft` is the remaining cell budget, shared by all sheets of the workbook.
  XlsxSheetHandler(std::string fileName, std::string sheetName, std::string source,
                   const std::vector<std::string>& sharedStrings, CellSink& sink, std::uint64_t& cellsLeft);

  void StartElement(std::string_view name, const XmlAttributes& attributes) override;
  void EndElement(std::string_view name) override;
  void Characters(std::string_view text) override;

 private:
  enum class CellType : std::uint8_t { kNumber, kShared, kInline, kBoolean, kError, kText };
  enum class Collect : std::uint8_t { kNone, kValue, kFormula, kInline };

  void StartRow(const XmlAttributes& attributes);
  void StartCell(const XmlAttributes& attributes);
  void EndCell();
  Variant CellValue();
  [[noreturn]] void Fail(FileErrorKind kind, const std::string& what) const;

  std::string fileName_;
  std::string sheetName_;
  std::string source_;
  const std::vector<std::string>& sharedStrings_;
  CellSink& sink_;
  std::uint64_t& cellsLeft_;

  bool inSheetData_ = false;
  std::int32_t row_ = 0;     // current row (of the <row>, or of the last referenced cell)
  std::int32_t column_ = 0;  // column of the current (or last) cell of the row
  bool inCell_ = false;
  CellType type_ = CellType::kNumber;
  Collect collect_ = Collect::kNone;
  bool inInline_ = false;
  bool hasInline_ = false;
  bool hasValue_ = false;  // a <v> was seen in this cell: a second one is refused
  int phoneticDepth_ = 0;
  std::string value_;    // <v> text
  std::string inline_;   // <is> text
  std::string formula_;  // the first bytes of <f>, enough to recognise an error constant
};

}  // namespace dez::io
