#include "cli/data_preparation.h"

#include <algorithm>
#include <cctype>

#include "dezezuvazoz/enums.h"
#include "dezezuvazoz/errors.h"
#include "host/embedded/embedded_application.h"
#include "host/embedded/embedded_workbook.h"
#include "host/embedded/embedded_worksheet.h"
#include "io/cell_reference.h"
#include "io/csv_dialect.h"

namespace dez::cli {

namespace {

using embedded::CellBlock;
using embedded::EmbeddedWorksheet;

constexpr std::string_view kPreparedSheetName = "Prepared data";

bool IsBareNameChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '.' ||
         static_cast<unsigned char>(c) >= 0x80;
}

std::string Lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

/// The sheet of `book` named `name`, letter case ignored as the host ignores it.
std::shared_ptr<EmbeddedWorksheet> SheetNamed(const embedded::EmbeddedWorkbook& book, const std::string& name) {
  for (const auto& sheet : book.Sheets()) {
    if (Lower(sheet->Name()) == Lower(name)) return sheet;
  }
  return nullptr;
}

/// A cell's address for messages: 'Stores 2023'!B2.
std::string CellAddress(const EmbeddedWorksheet& sheet, std::int32_t row, std::int32_t column) {
  const std::string address = SheetAddress(sheet.Name(), CellBlock::Cell(row, column));
  return address.substr(0, address.rfind('!') + 1) + io::FormatCellReference(row, column);
}

/// The first column of the variables: past the label column when there is one.
std::int32_t FirstVariableColumn(const CellBlock& block, const Options& options) {
  return block.left + (options.labels ? 1 : 0);
}

/// A first row of texts over a row holding numbers, as spreadsheet programs take a header.
bool LooksLikeHeader(const EmbeddedWorksheet& sheet, const CellBlock& block, const Options& options) {
  if (block.Rows() < 2) return false;
  bool numberBelow = false;
  for (std::int32_t column = FirstVariableColumn(block, options); column <= block.right; ++column) {
    if (!sheet.ValueAt(block.top, column).IsText()) return false;
    numberBelow = numberBelow || sheet.ValueAt(block.top + 1, column).IsNumber();
  }
  return numberBelow;
}

/// Parses "A2:F", "A:F", "B2:F30", "$B$2" (a reference without sheet); nothing for
/// anything else. Open ends come back as 0.
std::optional<CellBlock> ParseOpenReference(const std::string& text) {
  // One end: $? letters (1 to 3) $? digits (any, none for an open row).
  struct End {
    std::string letters, digits;
  };
  std::size_t at = 0;
  const auto scan = [&text, &at](End& end) {
    const auto take = [&](auto isPart) {
      const std::size_t start = at;
      while (at < text.size() && isPart(static_cast<unsigned char>(text[at]))) ++at;
      return text.substr(start, at - start);
    };
    if (at < text.size() && text[at] == '$') ++at;
    end.letters = take([](unsigned char ch) { return std::isalpha(ch) != 0; });
    if (at < text.size() && text[at] == '$') ++at;
    end.digits = take([](unsigned char ch) { return std::isdigit(ch) != 0; });
    return !end.letters.empty() && end.letters.size() <= 3;
  };
  End first, second;
  if (!scan(first)) return std::nullopt;
  const bool single = at == text.size();
  if (!single && (text[at++] != ':' || !scan(second) || at != text.size())) return std::nullopt;
  const auto column = [](const std::string& letters) {
    io::CellPosition position;
    return io::ParseCellReference(letters + "1", position) == io::ReferenceProblem::kNone ? position.column : 0;
  };
  const auto row = [](const std::string& digits) -> std::int32_t {
    if (digits.empty() || digits.size() > 7) return digits.empty() ? 0 : -1;
    const long value = std::stol(digits);
    return value >= 1 && value <= io::kMaxRows ? static_cast<std::int32_t>(value) : -1;
  };
  CellBlock block{row(first.digits), column(first.letters), 0, 0};
  block.right = single ? block.left : column(second.letters);
  block.bottom = single ? block.top : row(second.digits);
  if (block.left == 0 || block.right == 0 || block.top < 0 || block.bottom < 0) return std::nullopt;
  if (single && block.top == 0) return std::nullopt;  // a lone column letter is no address
  if (block.left > block.right) std::swap(block.left, block.right);
  if (block.top != 0 && block.bottom != 0 && block.top > block.bottom) std::swap(block.top, block.bottom);
  return block;
}

/// The number in a cell for the analysis, or nothing for an empty, text or other cell.
std::optional<double> NumberIn(const EmbeddedWorksheet& sheet, std::int32_t row, std::int32_t column) {
  const Variant& value = sheet.ValueAt(row, column);
  if (value.IsNumber()) return value.number();
  return std::nullopt;
}

/// An item's label: its label cell, or "Row 7" (also for an empty label cell).
Variant ItemLabel(const EmbeddedWorksheet& sheet, std::int32_t row, const CellBlock& block, const Options& options) {
  if (options.labels && !sheet.ValueAt(row, block.left).IsEmpty()) return sheet.ValueAt(row, block.left);
  return Variant("Row " + std::to_string(row));
}

/// `text` as one word of a POSIX shell: in single quotes, or in double quotes with $ " \ `
/// escaped when it holds a single quote.
std::string ShellWord(const std::string& text) {
  if (text.find('\'') == std::string::npos) return "'" + text + "'";
  std::string word = "\"";
  for (const char ch : text) {
    if (ch == '$' || ch == '"' || ch == '\\' || ch == '`') word += '\\';
    word += ch;
  }
  return word + "\"";
}

/// Whether a cell holds what the data type needs.
bool CellFits(const Variant& value, const Options& options) {
  if (!value.IsNumber()) return false;
  if (options.clusterType == dezEZuvazozBinomial) return value.number() == 0.0 || value.number() == 1.0;
  return true;
}

/// The likely fix of a refused cell.
std::string FixFor(const EmbeddedWorksheet& sheet, const DataSelection& data, const Options& options,
                   std::int32_t row, std::int32_t column) {
  const Variant& value = sheet.ValueAt(row, column);
  const CellBlock& block = data.block;
  bool rowOfTexts = true;
  bool rowEmpty = true;
  for (std::int32_t c = FirstVariableColumn(block, options); c <= block.right; ++c) {
    rowOfTexts = rowOfTexts && sheet.ValueAt(row, c).IsText();
    rowEmpty = rowEmpty && sheet.ValueAt(row, c).IsEmpty();
  }
  bool columnOfTexts = true;
  for (std::int32_t r = block.top; r <= block.bottom && columnOfTexts; ++r) {
    columnOfTexts = !sheet.ValueAt(r, column).IsNumber();
  }
  const std::string rowText = std::to_string(row);
  if (rowOfTexts && row == block.top) return "if row " + rowText + " is a header, add --header";
  if (rowEmpty) return "row " + rowText + " is empty: leave it out of the range, or add --missing drop";
  if (columnOfTexts && column > FirstVariableColumn(block, options)) {
    CellBlock without = block;
    without.right = column - 1;
    return "if column " + io::ColumnLetters(column) + " holds notes, leave it out: -r " +
           ShellWord(SheetAddress(sheet.Name(), without));
  }
  if (columnOfTexts && column == block.left && !options.labels) return "if column A holds item names, add --labels";
  if (value.IsText() && io::IsDecimalCommaNumber(value.ToText())) {
    return "write the number with a decimal point (or, for a CSV file, add --decimal-comma)";
  }
  if (value.IsText() && value.text().size() > 1 && value.text().back() == '%' &&
      ParseNumber(std::string_view(value.text()).substr(0, value.text().size() - 1))) {
    return "write the percentage as a number (0.12 for 12%)";
  }
  if (options.clusterType == dezEZuvazozBinomial && value.IsNumber()) return "binomial data holds only 1 and 0";
  return "correct the cell, or add --missing drop to leave the item out";
}

}  // namespace

std::string SheetAddress(const std::string& sheet, const CellBlock& block) {
  const bool bare = !sheet.empty() && std::all_of(sheet.begin(), sheet.end(),
                                                   [](char c) { return IsBareNameChar(c) || c == '-'; });
  return bare ? sheet + "!" + embedded::AbsoluteAddress(block) : ComponentSheetAddress(sheet, block);
}

std::string ComponentSheetAddress(const std::string& sheet, const CellBlock& block) {
  const bool bare = !sheet.empty() && std::all_of(sheet.begin(), sheet.end(), IsBareNameChar);
  if (bare) return sheet + "!" + embedded::AbsoluteAddress(block);
  std::string quoted = "'";
  for (const char ch : sheet) {
    quoted += ch;
    if (ch == '\'') quoted += '\'';
  }
  return quoted + "'!" + embedded::AbsoluteAddress(block);
}

std::optional<DataSelection> SelectData(const embedded::EmbeddedWorkbook& book, const Options& options,
                                        std::ostream& err) {
  DataSelection data;
  const std::shared_ptr<EmbeddedWorksheet> first = book.Sheets().front();
  if (options.range) {
    const std::string& text = *options.range;
    std::string sheetName;
    std::string reference = text;
    const std::size_t bang = text.rfind('!');
    if (bang != std::string::npos) {
      sheetName = text.substr(0, bang);
      reference = text.substr(bang + 1);
      if (sheetName.size() >= 2 && sheetName.front() == '\'' && sheetName.back() == '\'') {
        std::string unquoted;
        for (std::size_t i = 1; i + 1 < sheetName.size(); ++i) {
          unquoted += sheetName[i];
          if (sheetName[i] == '\'' && sheetName[i + 1] == '\'') ++i;
        }
        sheetName = unquoted;
      }
    }
    const std::optional<CellBlock> parsed = ParseOpenReference(reference);
    const std::shared_ptr<EmbeddedWorksheet> sheet = bang == std::string::npos ? first : SheetNamed(book, sheetName);
    if (!parsed || !sheet || sheetName.find('[') != std::string::npos) {
      if (options.dropMissing || options.standardize != Standardization::kNone) {
        err << "hcluster: --missing drop and --standardize need a range of one block on a sheet of the input, "
               "such as 'Data!A2:F'; \"" << text << "\" is none\n";
        return std::nullopt;
      }
      data.address = text;  // not ours to read: the component answers
      data.componentAddress = text;
      return data;
    }
    data.sheet = sheet;
    data.block = *parsed;
    if (data.block.top == 0 || data.block.bottom == 0) {
      const std::optional<CellBlock> used = sheet->UsedRange();
      if (!used) {
        err << "hcluster: " << options.input.string() << ": the sheet \"" << sheet->Name() << "\" of " << text
            << " holds no data\n";
        return std::nullopt;
      }
      if (data.block.top == 0) data.block.top = 1;
      if (data.block.bottom == 0) data.block.bottom = std::max(used->bottom, data.block.top);
    }
  } else {
    const std::optional<CellBlock> used = first->UsedRange();
    if (!used) {
      err << "hcluster: " << options.input.string() << ": the first sheet \"" << first->Name() << "\" holds no data\n";
      return std::nullopt;
    }
    data.sheet = first;
    data.block = *used;
  }
  const EmbeddedWorksheet& sheet = *data.sheet;
  bool header = options.header == HeaderRow::kYes;
  if (options.header == HeaderRow::kDetect && !options.range && options.clusterType != dezEZuvazozMixed &&
      LooksLikeHeader(sheet, data.block, options)) {
    header = true;
    const std::string address = SheetAddress(sheet.Name(), data.block);
    err << "hcluster: row " << data.block.top << " of the sheet " << address.substr(0, address.rfind('!'))
        << " holds texts over numbers: read as the variable names (--no-header reads it as data)\n";
  }
  if (header) {
    for (std::int32_t column = FirstVariableColumn(data.block, options); column <= data.block.right; ++column) {
      data.variables.push_back(sheet.ValueAt(data.block.top, column).ToText());
    }
    if (data.block.top < data.block.bottom) ++data.block.top;
  }
  data.address = SheetAddress(sheet.Name(), data.block);
  data.componentAddress = ComponentSheetAddress(sheet.Name(), data.block);
  return data;
}

std::optional<PreparedData> PrepareData(embedded::EmbeddedApplication& app, const DataSelection& data,
                                        const Options& options, std::ostream& err) {
  PreparedData prepared{data.componentAddress, options.labels, {}, {}};
  const bool standardize = options.standardize != Standardization::kNone;
  if (!data.sheet || (!options.dropMissing && !standardize)) return prepared;
  const EmbeddedWorksheet& sheet = *data.sheet;
  const CellBlock& block = data.block;
  const std::int32_t firstVariable = FirstVariableColumn(block, options);
  const std::int32_t variables = block.right - firstVariable + 1;

  // The items kept: every row unless --missing drop leaves out those with a cell that
  // does not fit. Refused cells of kept rows are the component's to find.
  std::vector<std::int32_t> rows;
  for (std::int32_t row = block.top; row <= block.bottom; ++row) {
    bool fits = true;
    for (std::int32_t column = firstVariable; column <= block.right && fits; ++column) {
      fits = CellFits(sheet.ValueAt(row, column), options);
    }
    const std::string label = ItemLabel(sheet, row, block, options).ToText();
    if (fits || !options.dropMissing) {
      rows.push_back(row);
    } else {
      prepared.dropped.push_back(label);
    }
  }
  if (!prepared.dropped.empty()) {
    err << "hcluster: --missing drop left out " << prepared.dropped.size() << " of " << block.Rows()
        << " items (an empty or unfit cell):";
    for (const std::string& label : prepared.dropped) err << ' ' << label;
    err << '\n';
  }

  // The analysed values, column by column.
  std::vector<std::vector<Variant>> columns(static_cast<std::size_t>(variables));
  for (std::int32_t v = 0; v < variables; ++v) {
    std::vector<double> numbers;
    bool allNumbers = true;
    for (const std::int32_t row : rows) {
      columns[v].push_back(sheet.ValueAt(row, firstVariable + v));
      if (const std::optional<double> number = NumberIn(sheet, row, firstVariable + v)) {
        numbers.push_back(*number);
      } else {
        allNumbers = false;
      }
    }
    if (!standardize || !allNumbers) continue;  // a refused cell stays for the component
    const std::optional<std::vector<double>> scaled = Standardize(numbers, options.standardize);
    if (!scaled) {
      err << "hcluster: --standardize " << StandardizationName(options.standardize) << ": column "
          << io::ColumnLetters(firstVariable + v)
          << (data.variables.empty() ? std::string() : " (\"" + data.variables[static_cast<std::size_t>(v)] + "\")")
          << " has no variation to scale by (every value the same"
          << (options.standardize == Standardization::kMean1 ? ", or a mean of 0" : "")
          << "); leave it out of the range\n";
      return std::nullopt;
    }
    for (std::size_t i = 0; i < rows.size(); ++i) columns[v][i] = (*scaled)[i];
  }

  // The prepared block, labels first, on a sheet of the add-in workbook.
  const auto addin = app.AddinWorkbook();
  std::shared_ptr<EmbeddedWorksheet> target = addin->FindSheet(kPreparedSheetName);
  if (!target) target = addin->AddSheet(std::string(kPreparedSheetName));
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const std::int32_t row = static_cast<std::int32_t>(i) + 1;
    target->WriteCell(row, 1, ItemLabel(sheet, rows[i], block, options));
    for (std::int32_t v = 0; v < variables; ++v) target->WriteCell(row, v + 2, columns[v][i]);
  }
  const std::int32_t lastRow = std::max<std::int32_t>(static_cast<std::int32_t>(rows.size()), 1);
  prepared.address = "'[" + addin->Name() + "]" + std::string(kPreparedSheetName) + "'!" +
                     embedded::AbsoluteAddress(CellBlock{1, 1, lastRow, variables + 1});
  prepared.labels = true;
  if (standardize) prepared.note += ", standardised: " + std::string(StandardizationDescription(options.standardize));
  if (!prepared.dropped.empty()) prepared.note += ", " + std::to_string(prepared.dropped.size()) + (prepared.dropped.size() == 1 ? " item dropped" : " items dropped");
  return prepared;
}

std::string OffendingCellLine(const Error& error, const DataSelection& data, const Options& options) {
  const bool refusal = error.number == dezEZuvazozInvalidMixedQuantData || error.number == dezEZuvazozInvalidBinData ||
                       error.number == dezEZuvazozInvalidDiffData;
  if (!refusal || !data.sheet || options.clusterType == dezEZuvazozMixed) return "";
  const EmbeddedWorksheet& sheet = *data.sheet;
  const CellBlock& block = data.block;
  for (std::int32_t row = block.top; row <= block.bottom; ++row) {
    for (std::int32_t column = FirstVariableColumn(block, options); column <= block.right; ++column) {
      const Variant& value = sheet.ValueAt(row, column);
      if (CellFits(value, options)) continue;
      std::string content = value.IsEmpty() ? "is empty"
                            : value.IsText() ? "holds the text \"" + value.ToText() + "\""
                                             : "holds " + value.ToText();
      return "  cell " + CellAddress(sheet, row, column) + " " + content + ": " +
             FixFor(sheet, data, options, row, column) + "\n";
    }
  }
  return "";
}

}  // namespace dez::cli
