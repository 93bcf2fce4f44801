#include "io/xlsx_sheet_handler.h"

#include "io/file_error.h"
#include "io/xlsx_text.h"

namespace dez::io {

namespace {
/// Longest formula text kept: enough for "= #DIV/0! " and the like.
constexpr std::size_t kFormulaKeep = 16;

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

/// Short excerpt of a value for an error message.
std::string Quote(std::string_view text) {
  constexpr std::size_t kMax = 40;
  std::string quoted(1, '"');
  if (text.size() > kMax) {
    quoted.append(text.substr(0, kMax));
    quoted.append("...");
  } else {
    quoted.append(text);
  }
  quoted.push_back('"');
  return quoted;
}
}  // namespace

XlsxSheetHandler::XlsxSheetHandler(std::string fileName, std::string sheetName, std::string source,
                                   const std::vector<std::string>& sharedStrings, CellSink& sink,
                                   std::uint64_t& cellsLeft)
    : fileName_(std::move(fileName)),
      sheetName_(std::move(sheetName)),
      source_(std::move(source)),
      sharedStrings_(sharedStrings),
      sink_(sink),
      cellsLeft_(cellsLeft) {}

void XlsxSheetHandler::Fail(FileErrorKind kind, const std::string& what) const {
  throw FileError(kind, fileName_, FileLocation{sheetName_, row_, column_, {}}, what, source_);
}

void XlsxSheetHandler::StartElement(std::string_view name, const XmlAttributes& attributes) {
  if (!inSheetData_) {
    if (name == "sheetData") inSheetData_ = true;
    return;
  }
  if (!inCell_) {
    if (name == "c") {
      StartCell(attributes);
    } else if (name == "row") {
      StartRow(attributes);
    }
    return;
  }
  if (name == "v") {
    if (hasValue_) Fail(FileErrorKind::kMalformed, "the cell holds more than one value");
    hasValue_ = true;
    collect_ = Collect::kValue;
  } else if (name == "f") {
    collect_ = Collect::kFormula;
  } else if (name == "is") {
    inInline_ = true;
    hasInline_ = true;
  } else if (name == "rPh") {
    ++phoneticDepth_;
  } else if (name == "t" && inInline_ && phoneticDepth_ == 0) {
    collect_ = Collect::kInline;
  }
}

void XlsxSheetHandler::EndElement(std::string_view name) {
  if (!inSheetData_) return;
  if (!inCell_) {
    if (name == "sheetData") inSheetData_ = false;
    return;
  }
  if (name == "c") {
    EndCell();
  } else if (name == "v" || name == "f" || name == "t") {
    collect_ = Collect::kNone;
  } else if (name == "is") {
    inInline_ = false;
  } else if (name == "rPh") {
    if (phoneticDepth_ > 0) --phoneticDepth_;
  }
}

void XlsxSheetHandler::Characters(std::string_view text) {
  switch (collect_) {
    case Collect::kNone: return;
    case Collect::kValue: value_.append(text); return;
    case Collect::kInline: inline_.append(text); return;
    case Collect::kFormula:
      if (formula_.size() <= kFormulaKeep) formula_.append(text.substr(0, kFormulaKeep + 1 - formula_.size()));
      return;
  }
}

void XlsxSheetHandler::StartRow(const XmlAttributes& attributes) {
  column_ = 0;
  if (const auto r = attributes.FindExact("r")) {
    std::int64_t row = 0;
    if (r->empty()) Fail(FileErrorKind::kMalformed, "row number is empty");
    for (const char ch : *r) {
      if (ch < '0' || ch > '9') {
        Fail(FileErrorKind::kMalformed, "row number " + Quote(*r) + " is not a number");
      }
      if (row <= kMaxRows) row = row * 10 + (ch - '0');
    }
    if (row < 1 || row > kMaxRows) {
      row_ = 0;
      Fail(FileErrorKind::kLimit, "row number " + Quote(*r) + " lies beyond the sheet's 1,048,576 rows");
    }
    row_ = static_cast<std::int32_t>(row);
  } else {
    if (row_ >= kMaxRows) Fail(FileErrorKind::kLimit, "more than 1,048,576 rows");
    ++row_;
  }
}

void XlsxSheetHandler::StartCell(const XmlAttributes& attributes) {
  inCell_ = true;
  collect_ = Collect::kNone;
  inInline_ = false;
  hasInline_ = false;
  hasValue_ = false;
  phoneticDepth_ = 0;
  value_.clear();
  inline_.clear();
  formula_.clear();

  if (const auto r = attributes.FindExact("r")) {
    CellPosition pos;
    const ReferenceProblem problem = ParseCellReference(*r, pos);
    if (problem != ReferenceProblem::kNone) row_ = column_ = 0;  // the message names the reference
    switch (problem) {
      case ReferenceProblem::kNone:
        row_ = pos.row;
        column_ = pos.column;
        break;
      case ReferenceProblem::kSyntax: Fail(FileErrorKind::kMalformed, "cell reference " + Quote(*r) + " is malformed");
      case ReferenceProblem::kBeyondLimit:
        Fail(FileErrorKind::kLimit,
             "cell reference " + Quote(*r) + " lies beyond the sheet's 1,048,576 rows x 16,384 columns");
    }
  } else {
    if (row_ == 0) row_ = 1;  // a cell before any row: the first row
    if (column_ >= kMaxColumns) Fail(FileErrorKind::kLimit, "more than 16,384 cells in a row");
    ++column_;
  }

  type_ = CellType::kNumber;
  if (const auto t = attributes.FindExact("t")) {
    if (*t == "s") {
      type_ = CellType::kShared;
    } else if (*t == "inlineStr") {
      type_ = CellType::kInline;
    } else if (*t == "b") {
      type_ = CellType::kBoolean;
    } else if (*t == "e") {
      type_ = CellType::kError;
    } else if (*t == "str" || *t == "d") {
      type_ = CellType::kText;
    } else if (*t != "n") {
      Fail(FileErrorKind::kMalformed, "unknown cell type " + Quote(*t));
    }
  }
}

Variant XlsxSheetHandler::CellValue() {
  // A formula that is just an error constant holds that error.
  if (!formula_.empty()) {
    std::string_view f = Trim(formula_);
    if (!f.empty() && f.front() == '=') f = Trim(f.substr(1));
    if (const auto error = CellErrorFromText(f)) return *error;
  }
  switch (type_) {
    case CellType::kNumber: {
      if (value_.empty()) return {};
      double number = 0.0;
      if (!ParseXlsxNumber(value_, number)) {
        Fail(FileErrorKind::kMalformed, "number " + Quote(value_) + " is malformed");
      }
      return number;
    }
    case CellType::kShared: {
      const std::string_view v = Trim(value_);
      std::uint64_t index = 0;
      if (v.empty()) Fail(FileErrorKind::kMalformed, "shared string index is missing");
      for (const char ch : v) {
        if (ch < '0' || ch > '9') {
          Fail(FileErrorKind::kMalformed, "shared string index " + Quote(v) + " is malformed");
        }
        if (index <= sharedStrings_.size()) index = index * 10 + static_cast<std::uint64_t>(ch - '0');
      }
      if (index >= sharedStrings_.size()) {
        Fail(FileErrorKind::kMalformed, "shared string index " + std::string(v) + " out of range (" +
                                            std::to_string(sharedStrings_.size()) + " strings)");
      }
      const std::string& text = sharedStrings_[static_cast<std::size_t>(index)];
      if (text.empty()) return {};
      return text;
    }
    case CellType::kInline: {
      std::string& text = hasInline_ ? inline_ : value_;
      if (text.empty()) return {};
      DecodeXlsxEscapes(text);
      return std::move(text);
    }
    case CellType::kBoolean: {
      const std::string_view v = Trim(value_);
      if (v.empty()) return {};
      if (v == "1" || v == "true") return true;
      if (v == "0" || v == "false") return false;
      Fail(FileErrorKind::kMalformed, "Boolean value " + Quote(v) + " is malformed");
    }
    case CellType::kError: {
      const std::string_view v = Trim(value_);
      if (v.empty()) return {};
      if (const auto error = CellErrorFromText(v)) return *error;
      return std::string(v);
    }
    case CellType::kText: {
      if (value_.empty()) return {};
      DecodeXlsxEscapes(value_);
      return std::move(value_);
    }
  }
  return {};
}

void XlsxSheetHandler::EndCell() {
  inCell_ = false;
  collect_ = Collect::kNone;
  Variant value = CellValue();
  if (value.IsEmpty()) return;
  if (cellsLeft_ == 0) {
    Fail(FileErrorKind::kLimit, "the workbook holds more cells than the reader's bound");
  }
  --cellsLeft_;
  sink_.SetCell(row_, column_, std::move(value));
}

}  // namespace dez::io
