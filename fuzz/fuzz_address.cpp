// Fuzz target: the A1 address parser and Application.Range.
//
// The input is an address text. ParseAddress must never throw, must keep every area
// within the sheet, and on success the block's own absolute address must parse back to
// the same block. Then the text is resolved by the embedded application, with a workbook
// "Book.xlsx" open whose sheets have plain, spaced, quoted and non-ASCII names and a few
// values: any failure must be a dez::Error (1004 or 91); a resolved range is read through
// the members the controller uses (its shape, a cell beyond it, a column, its values when
// the block is small).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_target_support.h"
#include "host/embedded/address_parser.h"
#include "host/embedded/embedded_application.h"
#include "host/embedded/embedded_workbook.h"
#include "host/embedded/embedded_worksheet.h"
#include "host/embedded/sheet_limits.h"
#include "host/range.h"
#include "runtime/error.h"

namespace {

using dez::fuzz::Check;
namespace emb = dez::embedded;

bool BlockOnSheet(const emb::CellBlock& b) {
  return b.top >= 1 && b.left >= 1 && b.top <= b.bottom && b.left <= b.right && b.bottom <= emb::kMaxRows &&
         b.right <= emb::kMaxColumns;
}

std::shared_ptr<emb::EmbeddedApplication> MakeApplication() {
  auto app = emb::EmbeddedApplication::Create();
  auto book = app->AddWorkbook("Book.xlsx", {"Data", "My Sheet", "It's", "\xC3\x9C" "ber"});
  for (const auto& sheet : book->Sheets()) {
    sheet->WriteCell(1, 1, dez::Variant("x"));
    sheet->WriteCell(2, 2, dez::Variant(1.5));
    sheet->WriteCell(3, 3, dez::Variant(true));
  }
  return app;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);

  const emb::ParsedAddress parsed = emb::ParseAddress(text);
  if (parsed.ok()) {
    Check(!parsed.areas.empty());
    for (const emb::AddressArea& area : parsed.areas) {
      Check(BlockOnSheet(area.block));
    }
  } else {
    Check(parsed.areas.empty());
    Check(!parsed.error.empty());
  }

  static const std::shared_ptr<emb::EmbeddedApplication> app = MakeApplication();
  try {
    const dez::host::RangePtr range = app->Range(text);
    Check(parsed.ok());
    Check(range->AreasCount() == static_cast<std::int32_t>(parsed.areas.size()));
    const std::int32_t rows = range->RowsCount();
    const std::int32_t columns = range->ColumnsCount();
    Check(rows == parsed.areas.front().block.Rows() && columns == parsed.areas.front().block.Columns());

    // The absolute address of the first area reads back as the same block.
    const std::string address = range->Address();
    const emb::ParsedAddress again = emb::ParseAddress(address);
    Check(again.ok());
    Check(again.areas.size() == parsed.areas.size());
    Check(again.areas.front().block == parsed.areas.front().block);

    (void)range->Cells(1, 1)->CellValue();
    try {
      (void)range->Cells(rows + 1, columns + 1)->CellValue();  // may lie off the sheet
    } catch (const dez::Error&) {
    }
    (void)range->Columns(columns)->RowsCount();
    if (std::int64_t{rows} * columns <= 4096) {
      const dez::VariantMatrix values = range->Value();
      Check(values.rows() == rows && values.cols() == columns);
    }
    (void)app->Range(range->Cells(1, 1), range->Cells(rows, columns))->Address();
  } catch (const dez::Error& e) {
    Check(e.number == dez::fault::kApplicationDefined || e.number == dez::fault::kObjectNotSet);
  }
  return 0;
}
