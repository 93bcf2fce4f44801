// Fuzz target: the CSV/TSV reader.
//
// The first byte picks the delimiter and how the rest is cut into pieces; the rest is the
// file's text. The text is read twice, once in one piece and once in pieces, into a sink
// that checks what a reader promises (cells within the sheet, never Empty, texts of valid
// UTF-8 without NUL). The two readings must agree exactly: same cells, or the same error.
// A third reading stores the cells in a workbook of the embedded application, as the
// command line does.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>
#include <utility>

#include "host/embedded/embedded_application.h"
#include "host/embedded/sheet_limits.h"
#include "io/cell_sink.h"
#include "io/csv_reader.h"
#include "io/file_error.h"
#include "io/host_workbook_sink.h"
#include "io/utf8.h"

namespace {

using dez::Variant;

void Check(bool condition) {
  if (!condition) std::abort();
}

class CheckingSink : public dez::io::CellSink {
 public:
  std::map<std::pair<std::int32_t, std::int32_t>, Variant> cells;
  void BeginSheet(const std::string&) override {}
  void SetCell(std::int32_t row, std::int32_t column, Variant value) override {
    Check(row >= 1 && row <= dez::embedded::kMaxRows);
    Check(column >= 1 && column <= dez::embedded::kMaxColumns);
    Check(!value.IsEmpty());
    if (value.IsText()) {
      Check(dez::io::FindInvalidUtf8(value.text()) == std::string::npos);
      Check(value.text().find('\0') == std::string::npos);
    }
    cells[{row, column}] = std::move(value);
  }
  void EndSheet() override {}
};

/// The cells read, or the error's text.
struct Outcome {
  std::map<std::pair<std::int32_t, std::int32_t>, Variant> cells;
  std::string error;
  bool operator==(const Outcome&) const = default;
};

Outcome Read(std::string_view text, char delimiter, std::size_t piece) {
  Outcome outcome;
  CheckingSink sink;
  try {
    dez::io::CsvReader reader("fuzz.csv", delimiter, sink);
    while (text.size() > piece) {
      reader.Feed(text.substr(0, piece));
      text.remove_prefix(piece);
    }
    reader.Feed(text);
    reader.Finish();
    outcome.cells = std::move(sink.cells);
  } catch (const dez::io::FileError& e) {
    Check(e.number == dez::io::kFileErrorNumber);
    outcome.error = e.description;
  }
  return outcome;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t control = data[0];
  const char delimiter = (control & 1) != 0 ? '\t' : ',';
  const std::size_t piece = 1 + (control >> 1) % 8;  // 1..8 bytes: splits CRLF, quotes, UTF-8
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

  const Outcome whole = Read(text, delimiter, text.size() + 1);
  const Outcome pieces = Read(text, delimiter, piece);
  Check(whole == pieces);

  auto app = dez::embedded::EmbeddedApplication::Create();
  dez::io::HostWorkbookSink sink(*app, "fuzz.csv", "fuzz.csv", "ReadCsv");
  try {
    dez::io::CsvReader reader("fuzz.csv", delimiter, sink);
    sink.BeginSheet("fuzz");
    reader.Feed(text);
    reader.Finish();
    sink.EndSheet();
  } catch (const dez::Error&) {
  }
  return 0;
}
