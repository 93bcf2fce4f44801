// Fuzz target: the whole pipeline, as the command line runs it.
//
// The input drives FuzzedDataProvider: a small workbook (a block of cells of every kind at
// a random place of the sheet "Data": numbers ordinary and extreme, texts including the
// mixed type names, "NaN" and "inf", Booleans, error values, empty cells), then the
// options (type, method, measure, power, labels, text dendrogram, chart, the variables
// and output addresses, overwriting). clsHCluster.Results runs on an embedded
// application; every failure must be a dez::Error. A placed report on a new sheet is
// rendered as text, and the workbook is written as XLSX and read back: a file the writer
// made must always read.
#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "controller/clsHCluster.h"
#include "fuzz_target_support.h"
#include "host/embedded/embedded_addin_context.h"
#include "host/embedded/embedded_application.h"
#include "host/embedded/embedded_range.h"
#include "host/embedded/embedded_workbook.h"
#include "host/embedded/embedded_worksheet.h"
#include "host/embedded/sheet_limits.h"
#include "io/file_error.h"
#include "io/text_renderer.h"
#include "io/workbook_reader.h"
#include "io/xlsx_writer.h"
#include "runtime/error.h"

namespace {

using dez::Variant;
using dez::fuzz::Check;
namespace emb = dez::embedded;

std::string ColumnName(std::int32_t column) {
  std::string name;
  for (; column > 0; column = (column - 1) / 26) name.insert(name.begin(), static_cast<char>('A' + (column - 1) % 26));
  return name;
}

std::string CellName(std::int32_t row, std::int32_t column) { return ColumnName(column) + std::to_string(row); }

/// A short text as a reader can deliver it: valid UTF-8 (here ASCII) without NUL, control
/// characters allowed.
std::string SomeText(FuzzedDataProvider& in, std::size_t maxLength) {
  std::string text = in.ConsumeRandomLengthString(maxLength);
  for (char& ch : text) {
    if (ch == '\0' || static_cast<unsigned char>(ch) >= 0x80) ch = '?';
  }
  return text;
}

Variant MakeCell(FuzzedDataProvider& in) {
  static constexpr std::array<double, 12> kExtreme = {1e308, -1e308, 1.7976931348623157e308, 4.9406564584124654e-324,
                                                      1e-300, 2.2250738585072014e-308, 1e154, -1e154,
                                                      9007199254740993.0, 0.1, -0.0, 1e15};
  static constexpr std::array<const char*, 14> kTexts = {"BIN", "QUANT", "QUAL", "bin", "Quant", "x", "1",
                                                         "0", "NaN", "inf", "-Infinity", " ", "1e999", "TRUE"};
  static constexpr std::array<std::int32_t, 7> kErrors = {2000, 2007, 2015, 2023, 2029, 2036, 2042};
  switch (in.ConsumeIntegralInRange(0, 12)) {
    case 0: return {};
    case 1: return 0.0;
    case 2: return 1.0;
    case 3: return static_cast<double>(in.ConsumeIntegralInRange(-3, 9));
    case 4: return in.ConsumeFloatingPoint<double>();
    case 5: return in.PickValueInArray(kExtreme);
    case 6: return std::string(in.PickValueInArray(kTexts));
    case 7: return in.ConsumeBool();
    case 8: return dez::CellError{in.PickValueInArray(kErrors)};
    case 9: return SomeText(in, 12);
    default: return static_cast<double>(in.ConsumeIntegralInRange(0, 1));
  }
}

std::string MakeOutputAddress(FuzzedDataProvider& in) {
  switch (in.ConsumeIntegralInRange(0, 6)) {
    case 0:
    case 1: return {};  // a new sheet
    case 2: return CellName(in.ConsumeIntegralInRange(1, 30), in.ConsumeIntegralInRange(1, 20));
    case 3: return "Data!" + CellName(in.ConsumeIntegralInRange(1, 30), in.ConsumeIntegralInRange(1, 20));
    case 4: return "Other!" + CellName(in.ConsumeIntegralInRange(1, 30), in.ConsumeIntegralInRange(1, 20));
    case 5:  // near the sheet's right or bottom edge
      return in.ConsumeBool() ? CellName(in.ConsumeIntegralInRange(1, 5), emb::kMaxColumns - in.ConsumeIntegralInRange(0, 8))
                              : CellName(emb::kMaxRows - in.ConsumeIntegralInRange(0, 40), in.ConsumeIntegralInRange(1, 5));
    default: return in.ConsumeRandomLengthString(24);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);

  auto app = emb::EmbeddedApplication::Create();
  auto book = app->AddWorkbook("Fuzz.xlsx", {"Data", "Other"});
  const auto sheet = book->Sheets().front();
  book->SetActiveSheet(sheet);

  // The block of cells.
  const std::int32_t top = in.ConsumeIntegralInRange(1, 3);
  const std::int32_t left = in.ConsumeIntegralInRange(1, 3);
  const std::int32_t rows = in.ConsumeIntegralInRange(1, 12);
  const std::int32_t columns = in.ConsumeIntegralInRange(1, 7);
  for (std::int32_t r = 0; r < rows; ++r) {
    for (std::int32_t c = 0; c < columns; ++c) {
      Variant v = MakeCell(in);
      if (!v.IsEmpty()) sheet->WriteCell(top + r, left + c, std::move(v));
    }
  }

  // The options.
  std::int32_t type = in.ConsumeIntegralInRange(0, 4);
  std::int32_t method = in.ConsumeIntegralInRange(1, 6);
  std::int32_t measure = in.ConsumeIntegralInRange(1, 15);
  if (in.ConsumeIntegralInRange(0, 15) == 0) type = in.ConsumeIntegral<std::int32_t>();
  if (in.ConsumeIntegralInRange(0, 15) == 0) method = in.ConsumeIntegral<std::int32_t>();
  if (in.ConsumeIntegralInRange(0, 15) == 0) measure = in.ConsumeIntegral<std::int32_t>();
  std::int16_t power = in.ConsumeIntegralInRange(0, 7) == 0 ? in.ConsumeIntegral<std::int16_t>()
                                                             : static_cast<std::int16_t>(in.ConsumeIntegralInRange(0, 9));
  const bool labels = in.ConsumeBool();
  const bool textDend = in.ConsumeBool();
  const bool chart = in.ConsumeBool();
  const bool overwrite = in.ConsumeBool();
  std::string varRange = CellName(top, left) + ":" + CellName(top + rows - 1, left + columns - 1);
  switch (in.ConsumeIntegralInRange(0, 9)) {
    case 0: varRange = "Data!" + varRange; break;
    case 1: varRange += "," + CellName(top + rows + 2, left); break;  // two areas
    case 2: varRange = in.ConsumeRandomLengthString(24); break;
    case 3:  // whole columns; with a type the checks do not know, the host would read a
             // million rows per column, which is legal but slow
      if (type >= 0 && type <= 4) varRange = ColumnName(left) + ":" + ColumnName(left + columns - 1);
      break;
    default: break;
  }
  const std::string outputRange = MakeOutputAddress(in);

  dez::host::AddinContext context = emb::MakeEmbeddedAddinContext(app);
  bool placed = false;
  {
    dez::clsHCluster hc(context);
    try {
      hc.ClusterType(type);
      hc.Method(method);
      hc.MethodText("Method");
      hc.Measure(measure);
      hc.MeasureText("Measure");
      hc.Power(power);
      hc.Headers(labels);
      hc.TextDend(textDend);
      hc.GraphDend(chart);
      hc.VarRange(varRange);
      hc.OutputRange(outputRange);
      hc.Results(overwrite);
      placed = true;
      if (in.ConsumeBool()) {  // a second placement of the same analysis
        hc.OutputRange(MakeOutputAddress(in));
        hc.Results(in.ConsumeBool());
      }
    } catch (const dez::Error& e) {
      Check(e.number != 0);
    }
    if (placed && outputRange.empty()) {
      const auto cell = std::dynamic_pointer_cast<emb::EmbeddedRange>(hc.OutputCell());
      Check(cell != nullptr);
      (void)dez::io::TextRenderer::RenderUsedRange(*cell->Sheet());
    }
  }

  // Write the workbook as the command line does, and read the file back.
  if (placed) {
    const std::filesystem::path file = dez::fuzz::ScratchFolder() / "report.xlsx";
    try {
      dez::io::XlsxWriter::Write(*book, file);
    } catch (const dez::io::FileError&) {
      std::abort();  // nothing in this workbook may be refused by the writer
    }
    auto again = emb::EmbeddedApplication::Create();
    (void)dez::io::WorkbookReader::Read(*again, file);
  }
  return 0;
}
