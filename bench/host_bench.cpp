// The embedded host under the load of a large report: a 2,000 x 2,000 matrix written cell
// by cell through the Range interface (as the report writer does), copied and pasted to a
// user sheet (as the controller places a report), and read back as one array.
//
// Counters: `cells` written or pasted, and `bytes_per_cell`, the growth of the heap in use
// (mallinfo2) per cell, which includes the row vectors and the format table.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdint>
#include <memory>

#include "host/embedded/embedded_application.h"
#include "host/embedded/embedded_range.h"
#include "host/embedded/embedded_workbook.h"
#include "host/embedded/embedded_worksheet.h"
#include "host/embedded/object_model_constants.h"

namespace dez::embedded {
namespace {

constexpr std::int32_t kItems = 2000;

std::size_t HeapInUse() { return mallinfo2().uordblks; }

// The matrix table of a report: a heading row, a label column and the values, written
// column by column as the report writer writes them, then the two format calls.
void WriteMatrixReport(EmbeddedApplication& app) {
  const auto sheet = app.AddinWorkbook()->FindSheet(kScratchSheetName);
  sheet->Cells()->Clear();
  sheet->Cells()->Interior()->ColorIndex(kColorIndexWhite);
  for (std::int32_t c = 1; c <= kItems; ++c) sheet->Cells(1, c + 1)->SetValue(Variant("Item " + std::to_string(c)));
  for (std::int32_t r = 1; r <= kItems; ++r) sheet->Cells(r + 1, 1)->SetValue(Variant("Item " + std::to_string(r)));
  for (std::int32_t c = 1; c <= kItems; ++c) {
    for (std::int32_t r = 1; r <= kItems; ++r) {
      if (r != c) sheet->Cells(r + 1, c + 1)->SetValue(Variant(0.001 * r + 0.5 * c));
    }
  }
  app.Range(sheet->Cells(1, 2), sheet->Cells(1, kItems + 1))->Font()->Bold(true);
  app.Range(sheet->Cells(2, 2), sheet->Cells(kItems + 1, kItems + 1))->NumberFormat("0.0000");
}

host::RangePtr ReportBlock(EmbeddedApplication& app) {
  const auto sheet = app.AddinWorkbook()->FindSheet(kScratchSheetName);
  return app.Range(sheet->Cells(1, 1), sheet->Cells(kItems + 1, kItems + 1));
}

void BM_WriteMatrixReport(benchmark::State& state) {
  double bytesPerCell = 0.0;
  for (auto _ : state) {
    state.PauseTiming();
    auto app = EmbeddedApplication::Create();
    const std::size_t before = HeapInUse();
    state.ResumeTiming();
    WriteMatrixReport(*app);
    state.PauseTiming();
    const auto cells = app->AddinWorkbook()->FindSheet(kScratchSheetName)->Store().CellCount();
    bytesPerCell = static_cast<double>(HeapInUse() - before) / static_cast<double>(cells);
    state.counters["cells"] = static_cast<double>(cells);
    app.reset();
    state.ResumeTiming();
  }
  state.counters["bytes_per_cell"] = bytesPerCell;
}
BENCHMARK(BM_WriteMatrixReport)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_CopyPasteReport(benchmark::State& state) {
  double bytesPerCell = 0.0;
  for (auto _ : state) {
    state.PauseTiming();
    auto app = EmbeddedApplication::Create();
    WriteMatrixReport(*app);
    const auto target = app->AddWorkbook("Output.xlsx")->Sheets()[0];
    const std::size_t before = HeapInUse();
    state.ResumeTiming();
    ReportBlock(*app)->Copy();
    target->Cells(1, 1)->PasteSpecial(kPasteAll);
    state.PauseTiming();
    bytesPerCell = static_cast<double>(HeapInUse() - before) / static_cast<double>(target->Store().CellCount());
    state.counters["cells"] = static_cast<double>(target->Store().CellCount());
    app.reset();
    state.ResumeTiming();
  }
  state.counters["bytes_per_cell"] = bytesPerCell;
}
BENCHMARK(BM_CopyPasteReport)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_ReadReportValue(benchmark::State& state) {
  auto app = EmbeddedApplication::Create();
  WriteMatrixReport(*app);
  const auto block = ReportBlock(*app);
  for (auto _ : state) {
    const VariantMatrix values = block->Value();
    benchmark::DoNotOptimize(values.data());
  }
  state.counters["cells"] = static_cast<double>(kItems + 1) * (kItems + 1);
}
BENCHMARK(BM_ReadReportValue)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
}  // namespace dez::embedded

BENCHMARK_MAIN();
